#!/usr/bin/env bash
# A throwaway MariaDB server for one test run: mariadb_start initialises it in a temporary folder,
# starts it on a private socket and a free loopback port and exports how to reach it; mariadb_stop
# removes it. Nothing reads or touches the machine's own MariaDB configuration or service.
# Source this file; both functions may be called more than once.

# shellcheck source=loopback-port.sh
source "$(dirname "${BASH_SOURCE[0]}")/loopback-port.sh"

mariadb_start() {
    local bin
    for bin in mariadb-install-db mariadbd mariadb mariadb-admin; do
        if ! command -v "$bin" >/dev/null 2>&1 && [ ! -x "/usr/sbin/$bin" ]; then
            echo "mariadb-server: $bin not found (install mariadb-server and mariadb-client)" >&2
            return 1
        fi
    done
    local server=mariadbd
    command -v mariadbd >/dev/null 2>&1 || server=/usr/sbin/mariadbd

    local dir
    dir=$(mktemp -d "${TMPDIR:-/tmp}/varnel-maria-XXXXXX") || return 1
    VARNEL_TEST_MARIADB_DIR=$dir
    export VARNEL_TEST_MARIADB_DIR
    chmod 755 "$dir"

    # The server does not run as root: root hands the data directory to the mysql account.
    local -a as=()
    if [ "$(id -u)" -eq 0 ]; then
        local account=mysql
        id "$account" >/dev/null 2>&1 || account=nobody
        chown "$account": "$dir" || return 1
        as=(runuser -u "$account" --)
    fi

    if ! "${as[@]}" mariadb-install-db --no-defaults --datadir="$dir/data" --auth-root-authentication-method=normal \
        --skip-test-db --skip-name-resolve >"$dir/install.log" 2>&1; then
        echo "mariadb-server: mariadb-install-db failed:" >&2
        cat "$dir/install.log" >&2
        return 1
    fi

    local port attempt started=0 pid
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        port=$(free_loopback_port) || continue
        "${as[@]}" "$server" --no-defaults --datadir="$dir/data" --socket="$dir/server.sock" --port="$port" \
            --bind-address=127.0.0.1 --pid-file="$dir/server.pid" --log-error="$dir/server.log" \
            --skip-name-resolve --innodb-flush-log-at-trx-commit=0 --innodb-doublewrite=0 \
            --innodb-buffer-pool-size=256M --max-connections=300 --character-set-server=utf8mb4 \
            --collation-server=utf8mb4_bin >/dev/null 2>&1 &
        pid=$!
        local waited
        for waited in $(seq 1 150); do
            if mariadb-admin --no-defaults --socket="$dir/server.sock" -u root ping >/dev/null 2>&1; then
                started=1
                break
            fi
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.2
        done
        [ "$started" -eq 1 ] && break
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    if [ "$started" -ne 1 ]; then
        echo "mariadb-server: the server did not start:" >&2
        tail -n 20 "$dir/server.log" >&2
        return 1
    fi

    local user=tester password database=varnel
    password="pw-$RANDOM$RANDOM"
    # The test user reaches the server over TCP only, with a password, and may create the
    # databases of the test processes.
    if ! mariadb --no-defaults --socket="$dir/server.sock" -u root -e "
        create database $database;
        create user '$user'@'127.0.0.1' identified by '$password';
        grant all privileges on *.* to '$user'@'127.0.0.1' with grant option;" >"$dir/setup.log" 2>&1; then
        echo "mariadb-server: could not create the test database and user:" >&2
        cat "$dir/setup.log" >&2
        return 1
    fi

    export VARNEL_TEST_MARIADB_HOST=127.0.0.1
    export VARNEL_TEST_MARIADB_PORT=$port
    export VARNEL_TEST_MARIADB_USER=$user
    export VARNEL_TEST_MARIADB_PASSWORD=$password
    export VARNEL_TEST_MARIADB_DATABASE=$database
    echo "MariaDB test server on 127.0.0.1:$port (database $database, user $user)"
}

mariadb_stop() {
    local dir=${VARNEL_TEST_MARIADB_DIR:-}
    [ -n "$dir" ] && [ -d "$dir" ] || return 0
    local pid=""
    [ -f "$dir/server.pid" ] && pid=$(cat "$dir/server.pid" 2>/dev/null)
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null
        local waited
        for waited in $(seq 1 150); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.2
        done
        kill -0 "$pid" 2>/dev/null && kill -9 "$pid" 2>/dev/null
    fi
    rm -rf "$dir"
    unset VARNEL_TEST_MARIADB_DIR VARNEL_TEST_MARIADB_HOST VARNEL_TEST_MARIADB_PORT VARNEL_TEST_MARIADB_USER \
        VARNEL_TEST_MARIADB_PASSWORD VARNEL_TEST_MARIADB_DATABASE
}
