#!/usr/bin/env bash
# Builds the benchmark data when missing and runs every benchmark of a build tree.
set -euo pipefail
build=${1:-build}
targets=$(cmake --build "$build" --target help 2>/dev/null || true)
if grep -q '^bench_data:' <<<"$targets"; then
    cmake --build "$build" --target bench_data
fi
for b in "$build"/bench/bench_*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" --benchmark_counters_tabular=true
done
