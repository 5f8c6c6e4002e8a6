#!/usr/bin/env bash
# Checks that a program runs without the desktop stack: neither the program nor any library it loads,
# directly or through another, is one of Qt's widget, GUI, printing or D-Bus libraries.
# usage: check-headless.sh PROGRAM
set -uo pipefail
program=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
desktop='libQt6(Widgets|Gui|PrintSupport|DBus)\.so'

needed=$(readelf -d "$program" | sed -n 's/.*NEEDED.*\[\(.*\)\]/\1/p')
[ -n "$needed" ] || fail "readelf found no NEEDED entries in $program"
grep -Eq "$desktop" <<<"$needed" && fail "$program needs: $(grep -E "$desktop" <<<"$needed" | tr '\n' ' ')"
grep -q 'libvarnel-common\.so' <<<"$needed" || fail "$program is not linked with libvarnel-common: $needed"

loaded=$(ldd "$program" 2>&1) || fail "ldd $program: $loaded"
grep -q "not found" <<<"$loaded" && fail "unresolved libraries of $program:"$'\n'"$loaded"
grep -Eq "$desktop" <<<"$loaded" && fail "$program loads: $(grep -E "$desktop" <<<"$loaded" | awk '{print $1}' | tr '\n' ' ')"

[ "$failures" -eq 0 ] && echo "$program needs no desktop library"
exit $((failures > 0))
