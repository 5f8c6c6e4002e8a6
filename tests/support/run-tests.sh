#!/usr/bin/env bash
# Runs the tests of a build tree (every test, or those the extra ctest arguments select) through CTest, with a throwaway PostgreSQL server and a throwaway MariaDB server for the database tests.
set -uo pipefail
build=${1:-build}
shift $(( $# > 0 ? 1 : 0 ))
here=$(cd "$(dirname "$0")" && pwd)

stop_servers() {
    declare -F postgres_stop >/dev/null && postgres_stop
    declare -F mariadb_stop >/dev/null && mariadb_stop
}
trap stop_servers EXIT
trap 'exit 130' INT TERM

if [ -x "$here/postgres-server.sh" ]; then
    # shellcheck source=/dev/null
    source "$here/postgres-server.sh"
    postgres_start || { echo "PostgreSQL could not be started" >&2; exit 1; }
fi
if [ -x "$here/mariadb-server.sh" ]; then
    # shellcheck source=/dev/null
    source "$here/mariadb-server.sh"
    mariadb_start || { echo "MariaDB could not be started" >&2; exit 1; }
fi

ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 300 "$@"
status=$?
exit $status
