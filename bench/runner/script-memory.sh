#!/usr/bin/env bash
# Peak memory of varnel-run on a large script of INSERTs (about 200 MB, 1.8 million statements, by
# default) against its size: the cut statements are views into the script, not copies of it.
# usage: script-memory.sh BUILD_DIR [STATEMENTS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
count=${2:-1800000}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"

db=$dbdir/memory.sqlite
add_source lite SQLite3 "Database=$db" StepAPI=1 SyncPragma=off
sqlite3 "$db" 'create table t(id integer, name text)'
awk -v n="$count" 'BEGIN { pad = sprintf("%60s", ""); gsub(/ /, "x", pad);
    for (i = 1; i <= n; i++) printf "insert into t values (%d, '\''row %d %s'\'');\n", i, i, pad }' \
    >"$work/inserts.sql"
size=$(stat -c %s "$work/inserts.sql")
read -r wall cpu peak < <(measure /dev/null "$runner" -q -d lite -f text -o "$work/varnel.out" "$work/inserts.sql")
rows=$(sqlite3 "$db" 'select count(*) from t')
[ "$rows" -eq "$count" ] || { echo "script-memory: varnel-run left $rows rows" >&2; exit 1; }
awk -v s="$size" -v k="$peak" -v w="$wall" -v n="$count" 'BEGIN {
    printf "script %.1f MB, %d statements: varnel-run peak %.1f MB (%.2f times the script), wall %s s\n",
        s / 1048576, n, k / 1024, k * 1024 / s, w }'
