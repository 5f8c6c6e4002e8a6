#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from what clang-format 14 makes of it with the project's
# .clang-format; lists each file and place that differs. Changes nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

formatter=${CLANG_FORMAT:-}
if [ -z "$formatter" ]; then
    for candidate in clang-format-14 clang-format; do
        if command -v "$candidate" >/dev/null; then
            formatter=$candidate
            break
        fi
    done
fi
if [ -z "$formatter" ]; then
    echo "check-format: clang-format 14 is not installed" >&2
    exit 2
fi
version=$("$formatter" --version)
case "$version" in
*"version 14."*) ;;
*) echo "check-format: $formatter is not clang-format 14 ($version)" >&2; exit 2 ;;
esac

mapfile -d '' files < <(git ls-files -z -- '*.c' '*.cc' '*.cpp' '*.cxx' '*.h' '*.hh' '*.hpp')
if [ ${#files[@]} -eq 0 ]; then
    exit 0
fi
if ! printf '%s\0' "${files[@]}" | xargs -0 -n 50 "$formatter" --style=file --dry-run -Werror; then
    echo "check-format: files differ from .clang-format (run $formatter -i on them)" >&2
    exit 1
fi
