#!/usr/bin/env bash
# Runs every test of a build tree through CTest, with a throwaway PostgreSQL server for the database tests.
set -uo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)

if [ -x "$here/postgres-server.sh" ]; then
    # shellcheck source=/dev/null
    source "$here/postgres-server.sh"
    postgres_start || { echo "PostgreSQL could not be started" >&2; exit 1; }
    trap postgres_stop EXIT
fi

ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 300
status=$?
exit $status
