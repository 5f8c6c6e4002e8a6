#!/usr/bin/env bash
# A script of many single-row INSERTs run by varnel-run and by unixODBC's isql on the same SQLite data
# source: statements per second of each, and the rows both left in the table.
# usage: statement-rate.sh BUILD_DIR [STATEMENTS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
count=${2:-100000}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
command -v isql >/dev/null || { echo "statement-rate: isql is not installed" >&2; exit 1; }

# Synchronous writes off and the database in memory: the comparison is about the tools, not the disk.
db=$dbdir/rate.sqlite
add_source lite SQLite3 "Database=$db" StepAPI=1 SyncPragma=off
awk -v n="$count" 'BEGIN { for (i = 1; i <= n; i++) printf "insert into t values (%d, '\''row %d'\'');\n", i, i }' \
    >"$work/inserts.sql"
rate() { awk -v n="$count" -v s="$1" 'BEGIN { printf "%.0f statements/s, %.0f us each", n / s, s * 1e6 / n }'; }

echo "== $count INSERT statements"
for tool in isql varnel; do
    rm -f "$db"
    sqlite3 "$db" 'create table t(id integer, name text)'
    if [ $tool = isql ]; then
        read -r wall cpu peak < <(measure "$work/isql.out" sh -c "isql -b lite <'$work/inserts.sql'")
    else
        read -r wall cpu peak < <(measure /dev/null "$runner" -q -d lite -f text -o "$work/varnel.out" "$work/inserts.sql")
    fi
    rows=$(sqlite3 "$db" 'select count(*) from t')
    [ "$rows" -eq "$count" ] || { echo "statement-rate: $tool left $rows rows" >&2; exit 1; }
    printf '%-8s wall %6s s  cpu %6s s  %s\n' "$tool" "$wall" "$cpu" "$(rate "$wall")"
done
