#!/usr/bin/env bash
# Side by side on the 1 000 000 x 8 benchmark table: varnel-run writing text against unixODBC's isql
# over the same data source and sqlite3's own shell on the same file. Prints the wall time, the CPU
# time (user + system) and the peak memory of every run, and the median of each tool.
# usage: compare-runner.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-3}
data=$build/bench/data/odbc-read.sqlite
runner=$build/tools/varnel-run
timer=/usr/bin/time
driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so

for need in "$data" "$runner" "$timer" "$driver"; do
    if [ ! -e "$need" ]; then
        echo "compare-runner: $need is missing (make bench builds the data; scripts/install-deps.sh installs time)" >&2
        exit 1
    fi
done
for tool in isql sqlite3; do
    command -v "$tool" >/dev/null || { echo "compare-runner: $tool is not installed" >&2; exit 1; }
done

# A private ODBC configuration and home, so nothing of the user's is read or written.
work=$(mktemp -d "${TMPDIR:-/tmp}/varnel-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home"
printf '[SQLite3]\nDriver=%s\n' "$driver" >"$work/odbcinst.ini"
printf '[bench]\nDriver=SQLite3\nDatabase=%s\nStepAPI=1\n' "$data" >"$work/user-odbc.ini"
export ODBCSYSINI=$work ODBCINI=$work/user-odbc.ini HOME=$work/home
export XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
query="select * from t"
printf '%s\n' "$query" >"$work/query.sql"

# One measured run: "wall cpu peak_kB" on standard output.
measure() {
    local out=$1
    shift
    "$timer" -o "$work/time" -f "%e %U %S %M" "$@" >"$out"
    awk '{ printf "%.2f %.2f %d\n", $1, $2 + $3, $4 }' "$work/time"
}

run_varnel() { measure /dev/null "$runner" -q -d bench -f text -o "$work/varnel.txt" "$work/query.sql"; }
run_isql() { measure "$work/isql.txt" sh -c "printf '%s\n' '$query' | isql -b -d, bench"; }
run_sqlite() { measure "$work/sqlite.txt" sqlite3 -csv "$data" "$query"; }

# shellcheck source=medians.sh
source "$(dirname "$0")/medians.sh"
run_tools varnel isql sqlite

# Every tool read every row.
rows() { wc -l <"$1"; }
[ "$(rows "$work/varnel.txt")" -eq 1000001 ] || { echo "varnel-run wrote $(rows "$work/varnel.txt") lines" >&2; exit 1; }
[ "$(rows "$work/isql.txt")" -ge 1000000 ] || { echo "isql wrote $(rows "$work/isql.txt") lines" >&2; exit 1; }
[ "$(rows "$work/sqlite.txt")" -eq 1000000 ] || { echo "sqlite3 wrote $(rows "$work/sqlite.txt") lines" >&2; exit 1; }

print_medians 34 varnel="varnel-run -f text -o FILE" isql="isql -b -d, (same data source)" sqlite="sqlite3 -csv (same file)"
