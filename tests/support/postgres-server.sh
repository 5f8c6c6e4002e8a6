#!/usr/bin/env bash
# A throwaway PostgreSQL 15 cluster for one test run: postgres_start initialises it in a temporary
# folder, starts it on a free loopback port and exports how to reach it; postgres_stop removes it.
# Source this file; both functions may be called more than once.

# shellcheck source=loopback-port.sh
source "$(dirname "${BASH_SOURCE[0]}")/loopback-port.sh"

postgres_start() {
    local pgbin=${VARNEL_PG_BIN:-/usr/lib/postgresql/15/bin}
    if [ ! -x "$pgbin/initdb" ]; then
        echo "postgres-server: $pgbin/initdb not found (install postgresql-15)" >&2
        return 1
    fi
    local dir
    dir=$(mktemp -d "${TMPDIR:-/tmp}/varnel-pg-XXXXXX") || return 1
    VARNEL_TEST_PG_DIR=$dir
    export VARNEL_TEST_PG_DIR

    # The server refuses to run as root: root hands the cluster to the postgres account.
    local -a as=()
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$dir" || return 1
        as=(runuser -u postgres --)
    fi
    chmod 755 "$dir"

    local user=tester password database=varnel
    password="pw-$RANDOM$RANDOM"
    (umask 077 && printf '%s\n' "$password" >"$dir/pw")
    [ ${#as[@]} -gt 0 ] && chown postgres: "$dir/pw"

    if ! "${as[@]}" "$pgbin/initdb" -D "$dir/data" -U "$user" --pwfile="$dir/pw" -A scram-sha-256 \
        -E UTF8 --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1; then
        echo "postgres-server: initdb failed:" >&2
        cat "$dir/initdb.log" >&2
        return 1
    fi

    local port attempt started=0
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        port=$(free_loopback_port) || continue
        if "${as[@]}" "$pgbin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
            -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c fsync=off -c max_connections=200" \
            start >/dev/null 2>&1; then
            started=1
            break
        fi
    done
    if [ "$started" -ne 1 ]; then
        echo "postgres-server: the server did not start:" >&2
        tail -n 20 "$dir/server.log" >&2
        return 1
    fi

    if ! PGPASSWORD=$password psql -X -q -h 127.0.0.1 -p "$port" -U "$user" -d postgres \
        -c "create database $database" >/dev/null; then
        echo "postgres-server: could not create the test database" >&2
        return 1
    fi

    export VARNEL_TEST_PG_HOST=127.0.0.1
    export VARNEL_TEST_PG_PORT=$port
    export VARNEL_TEST_PG_USER=$user
    export VARNEL_TEST_PG_PASSWORD=$password
    export VARNEL_TEST_PG_DATABASE=$database
    echo "PostgreSQL test server on 127.0.0.1:$port (database $database, user $user)"
}

postgres_stop() {
    local dir=${VARNEL_TEST_PG_DIR:-}
    [ -n "$dir" ] && [ -d "$dir" ] || return 0
    local pgbin=${VARNEL_PG_BIN:-/usr/lib/postgresql/15/bin}
    local -a as=()
    [ "$(id -u)" -eq 0 ] && as=(runuser -u postgres --)
    if [ -f "$dir/data/postmaster.pid" ]; then
        "${as[@]}" "$pgbin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 ||
            "${as[@]}" "$pgbin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1
    fi
    rm -rf "$dir"
    unset VARNEL_TEST_PG_DIR VARNEL_TEST_PG_HOST VARNEL_TEST_PG_PORT VARNEL_TEST_PG_USER \
        VARNEL_TEST_PG_PASSWORD VARNEL_TEST_PG_DATABASE
}
