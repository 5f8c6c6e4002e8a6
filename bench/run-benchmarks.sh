#!/usr/bin/env bash
# Builds the benchmark data when missing, runs every benchmark of a build tree, then compares
# varnel-run with isql and sqlite3 on the benchmark table, and with the mariadb client on a copy of it.
set -euo pipefail
build=${1:-build}
targets=$(cmake --build "$build" --target help 2>/dev/null || true)
if grep -q '^bench_data:' <<<"$targets"; then
    cmake --build "$build" --target bench_data
fi
for b in "$build"/bench/bench_*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    # Completion needs its server: bench/runner/completion.sh below.
    [ "$(basename "$b")" = bench_completion ] && continue
    echo "== $(basename "$b")"
    "$b" --benchmark_counters_tabular=true
done

here=$(cd "$(dirname "$0")" && pwd)
if [ -x "$build/tools/varnel-run" ] && [ -f "$build/bench/data/odbc-read.sqlite" ]; then
    echo "== varnel-run against isql and sqlite3"
    "$here/runner/compare-runner.sh" "$build"
fi
if [ -x "$build/tools/varnel-run" ] && command -v mariadb-install-db >/dev/null; then
    echo "== varnel-run against the mariadb client"
    "$here/runner/compare-mariadb.sh" "$build"
fi
if [ -x "$build/tools/varnel-run" ]; then
    # A 100 MB value against the database's own client (PostgreSQL too when PGHOST and friends are set),
    # 100 000 INSERTs against isql, and the peak memory of a 200 MB script of INSERTs.
    "$here/runner/long-value.sh" "$build"
    "$here/runner/statement-rate.sh" "$build"
    "$here/runner/script-memory.sh" "$build"
fi
if [ -x "$build/bench/bench_completion" ]; then
    "$here/runner/completion.sh" "$build"
fi
