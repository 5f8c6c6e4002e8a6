#!/usr/bin/env bash
# One 100 MB text value read by varnel-run and by the database's own command-line client, from SQLite
# and, when a server is given, from PostgreSQL; the bytes are compared. Prints wall, CPU and peak memory.
# usage: long-value.sh BUILD_DIR [MEGABYTES]
#   PostgreSQL: set PGHOST, PGPORT, PGUSER, PGPASSWORD and PGDATABASE (the table "v" is made and dropped).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
megabytes=${2:-100}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
half=$((megabytes * 1000000 / 2))

report() {
    printf '%-28s wall %6s s  cpu %6s s  peak %7.1f MB\n' "$1" "$2" "$3" "$(awk -v k="$4" 'BEGIN { print k / 1024 }')"
}
# The value alone, without the heading and the line end the tools add.
same_value() {
    cmp -s <(head -c $((half * 2)) "$1") <(head -c $((half * 2)) "$2") || {
        echo "long-value: $1 and $2 differ" >&2
        exit 1
    }
}

db=$work/value.sqlite
sqlite3 "$db" "create table v(x text); insert into v select replace(hex(zeroblob($half)), '00', 'ab');"
add_source lite SQLite3 "Database=$db" StepAPI=1
echo 'select x from v' >"$work/q.sql"
echo "== one value of $megabytes MB from SQLite"
read -r wall cpu peak < <(measure "$work/sqlite.out" sqlite3 "$db" 'select x from v')
report "sqlite3" "$wall" "$cpu" "$peak"
read -r wall cpu peak < <(measure /dev/null "$runner" -q -d lite -f text --no-names -o "$work/varnel.out" "$work/q.sql")
report "varnel-run -f text" "$wall" "$cpu" "$peak"
same_value "$work/sqlite.out" "$work/varnel.out"
rm -f "$work/sqlite.out" "$work/varnel.out" "$db"

if [ -n "${PGHOST:-}" ] && command -v psql >/dev/null; then
    psql -X -q -c "drop table if exists v; create table v(x text); insert into v select repeat('ab', $half);"
    add_source pg "PostgreSQL Unicode" "Servername=$PGHOST" "Port=${PGPORT:-5432}" "Database=$PGDATABASE" \
        UseDeclareFetch=1 Fetch=10000
    echo "== one value of $megabytes MB from PostgreSQL"
    read -r wall cpu peak < <(measure "$work/psql.out" psql -X -A -t -c 'select x from v')
    report "psql -At" "$wall" "$cpu" "$peak"
    export VARNEL_PASSWORD=$PGPASSWORD
    read -r wall cpu peak < <(measure /dev/null "$runner" -q -d pg -u "$PGUSER" -f text --no-names -o "$work/varnel.out" "$work/q.sql")
    report "varnel-run -f text" "$wall" "$cpu" "$peak"
    same_value "$work/psql.out" "$work/varnel.out"
    psql -X -q -c "drop table v"
fi
