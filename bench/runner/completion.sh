#!/usr/bin/env bash
# Completion against 2 000 tables of 20 columns on a throwaway PostgreSQL: starts the server, makes the
# schema, and runs bench_completion on it.
# usage: completion.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
source "$here/../../tests/support/postgres-server.sh"
postgres_start >/dev/null
trap 'postgres_stop; rm -rf "$work" "$dbdir"' EXIT

export PGHOST=$VARNEL_TEST_PG_HOST PGPORT=$VARNEL_TEST_PG_PORT PGUSER=$VARNEL_TEST_PG_USER
export PGPASSWORD=$VARNEL_TEST_PG_PASSWORD PGDATABASE=$VARNEL_TEST_PG_DATABASE
psql -X -q -v ON_ERROR_STOP=1 <<'SQL'
do $$
declare cols text;
begin
  select string_agg('c' || k || ' integer', ', ') into cols from generate_series(1, 20) k;
  for i in 0..1999 loop
    execute format('create table t%s (%s)', i, cols);
  end loop;
end $$;
SQL
add_source pg "PostgreSQL Unicode" "Servername=$PGHOST" "Port=$PGPORT" "Database=$PGDATABASE" \
    UseDeclareFetch=1 Fetch=10000
echo "== completion on 2 000 tables x 20 columns (PostgreSQL)"
VARNEL_BENCH_DSN=pg VARNEL_BENCH_USER=$PGUSER VARNEL_BENCH_PASSWORD=$PGPASSWORD \
    "$build/bench/bench_completion" --benchmark_counters_tabular=true
