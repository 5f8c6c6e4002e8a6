#!/usr/bin/env bash
# Side by side on a MariaDB copy of the 1 000 000 x 8 benchmark table: varnel-run writing text over
# MariaDB Connector/ODBC against the mariadb client in batch mode, as it is (the whole result held
# before printing) and with --quick (row by row). A throwaway server is started for it, as for the
# tests. Prints the wall time, the CPU time (user + system) and the peak memory of every run, and the
# median of each tool.
# usage: compare-mariadb.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-3}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=common.sh
source "$here/common.sh"
driver=/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so
for need in "$driver" "$here/../../tests/support/mariadb-server.sh"; do
    [ -e "$need" ] || { echo "compare-mariadb: $need is missing (scripts/install-deps.sh installs odbc-mariadb)" >&2; exit 1; }
done
command -v mariadb >/dev/null || { echo "compare-mariadb: the mariadb client is not installed" >&2; exit 1; }

# shellcheck source=../../tests/support/mariadb-server.sh
source "$here/../../tests/support/mariadb-server.sh"
trap 'mariadb_stop; rm -rf "$work" "$dbdir"' EXIT
mariadb_start >/dev/null
export MYSQL_PWD=$VARNEL_TEST_MARIADB_PASSWORD
client=(mariadb --no-defaults -h "$VARNEL_TEST_MARIADB_HOST" -P "$VARNEL_TEST_MARIADB_PORT"
    -u "$VARNEL_TEST_MARIADB_USER" "$VARNEL_TEST_MARIADB_DATABASE")

# The benchmark table's columns and kinds of values (integers, short and long text, real, date text,
# NULLs), made by the server itself.
"${client[@]}" -e "
create table t(id integer primary key, n integer, s varchar(20), l text, r double, d varchar(10),
               z integer, k varchar(40));
insert into t
select x, (x * 7919) % 100000, concat('name ', x), left(repeat(upper(md5(x)), 4), 2 * (40 + x % 60)),
       x / 7.0, date_format(date '2000-01-01' + interval (x % 9000) day, '%Y-%m-%d'),
       case when x % 3 = 0 then null else x end,
       case when x % 5 = 0 then null else concat('key ', x % 1000) end
from (select cast(seq as signed) as x from seq_1_to_1000000) c;"

printf '[MariaDB Unicode]\nDriver=%s\n' "$driver" >>"$work/odbcinst.ini"
add_source bench "MariaDB Unicode" "Server=$VARNEL_TEST_MARIADB_HOST" "Port=$VARNEL_TEST_MARIADB_PORT" \
    "Database=$VARNEL_TEST_MARIADB_DATABASE" "User=$VARNEL_TEST_MARIADB_USER" "Password=$MYSQL_PWD"
query="select * from t"
printf '%s\n' "$query" >"$work/query.sql"

run_varnel() { measure /dev/null "$runner" -q -d bench -f text -o "$work/varnel.txt" "$work/query.sql"; }
run_batch() { measure "$work/batch.txt" "${client[@]}" --batch -e "$query"; }
run_quick() { measure "$work/quick.txt" "${client[@]}" --batch --quick -e "$query"; }

# shellcheck source=medians.sh
source "$(dirname "$0")/medians.sh"
run_tools varnel batch quick

# Every tool read every row, under one line of column names.
for out in varnel batch quick; do
    lines=$(wc -l <"$work/$out.txt")
    [ "$lines" -eq 1000001 ] || { echo "$out wrote $lines lines" >&2; exit 1; }
done

print_medians 40 varnel="varnel-run -f text -o FILE" batch="mariadb --batch" quick="mariadb --batch --quick"
