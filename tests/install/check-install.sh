#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user would get: the programs start and
# find their libraries from anywhere the tree is moved, the desktop files validate, and the Debian
# packages hold the same tree with their run-time dependencies.
# usage: check-install.sh BUILD BINDIR LIBDIR DATADIR MANDIR VERSION
set -uo pipefail
build=$1 bindir=$2 libdir=$3 datadir=$4 mandir=$5 version=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { fail "$1 is not installed (scripts/install-deps.sh installs it)"; return 1; }; }

# Nothing of the build tree or the developer's environment may help the installed programs.
unset LD_LIBRARY_PATH DESTDIR
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
export QT_QPA_PLATFORM=offscreen ODBCSYSINI=$work/odbc ODBCINI=$work/odbc/user-odbc.ini
mkdir -p "$ODBCSYSINI" && : >"$ODBCSYSINI/odbcinst.ini"

prefix=$work/first/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install"; exit 1; }
# Moving the tree shows that the programs find their libraries relative to themselves.
mkdir -p "$work/moved" && mv "$prefix" "$work/moved/prefix" && prefix=$work/moved/prefix

expected=(
    "$bindir/varnel" "$bindir/varnel-run"
    "$libdir/libvarnel-common.so.1" "$libdir/libvarnel-stratum.so.1"
    "$libdir/libvarnel-common-widgets.so.1" "$libdir/libvarnel-stratum-widgets.so.1"
    "$datadir/varnel/sample.sql"
    "$datadir/applications/varnel.desktop"
    "$datadir/metainfo/com.ostrak.Varnel.metainfo.xml"
    "$datadir/icons/hicolor/scalable/apps/varnel.svg"
    "$mandir/man1/varnel.1.gz" "$mandir/man1/varnel-run.1.gz"
)
for page in index editor schema builder settings macros; do expected+=("$datadir/varnel/help/$page.htm"); done
for size in 16 22 24 32 48 64 128 256; do expected+=("$datadir/icons/hicolor/${size}x${size}/apps/varnel.png"); done
for file in "${expected[@]}"; do
    [ -s "$prefix/$file" ] || fail "missing from the installed tree: $file"
done
for size in 16 48 256; do
    file "$prefix/$datadir/icons/hicolor/${size}x${size}/apps/varnel.png" | grep -q "PNG image data, $size x $size" ||
        fail "icon ${size}x${size} is not a PNG of that size"
done

# Every library resolves, and the project's own libraries that a file needs come from the tree at root,
# never from the build.
check_libraries() {
    local file=$1 root=$2 out lib
    out=$(ldd "$file" 2>&1) || { fail "ldd $file: $out"; return; }
    if grep -q "not found" <<<"$out"; then fail "unresolved libraries of $file:"$'\n'"$out"; fi
    for lib in $(readelf -d "$file" | sed -n 's/.*NEEDED.*\[\(libvarnel-[^]]*\)\]/\1/p'); do
        grep -q "$lib => $root/" <<<"$out" || fail "$file does not take $lib from $root:"$'\n'"$out"
    done
}
for program in varnel varnel-run; do
    readelf -d "$prefix/$bindir/$program" | grep -q 'NEEDED.*libvarnel-common' ||
        fail "$program is not linked with libvarnel-common"
done
for lib in "$prefix/$libdir"/libvarnel-*.so.1; do check_libraries "$lib" "$prefix"; done
check_libraries "$prefix/$bindir/varnel" "$prefix"
check_libraries "$prefix/$bindir/varnel-run" "$prefix"

out=$(timeout -k 5 20 "$prefix/$bindir/varnel-run" --version 2>&1)
[ "$out" = "varnel-run $version" ] || fail "varnel-run --version said: $out"
# The program answers --version and --help on standard output without a window. A program that does not
# know the options yet opens its window and is stopped by the timeout; the library check above is then
# what shows that it can start.
out=$(timeout -k 5 15 "$prefix/$bindir/varnel" --version 2>"$work/varnel.err")
status=$?
if [ $status -eq 124 ]; then
    echo "note: varnel does not answer --version yet; checked its libraries only"
elif [ $status -ne 0 ] || [ "$out" != "varnel $version" ]; then
    fail "varnel --version ended with $status and said: $out $(cat "$work/varnel.err")"
else
    out=$(timeout -k 5 15 "$prefix/$bindir/varnel" --help 2>&1)
    status=$?
    [ $status -eq 0 ] && [ -n "$out" ] || fail "varnel --help ended with $status and said: $out"
fi

# Desktop integration files.
entry=$prefix/$datadir/applications/varnel.desktop
if need desktop-file-validate; then
    desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
fi
grep -qx "MimeType=application/sql;text/x-sql;" "$entry" || fail "desktop entry lacks the SQL MIME types"
grep -qx "Exec=varnel %f" "$entry" || fail "desktop entry does not start varnel with a file"
if need appstreamcli; then
    appstreamcli validate --no-net "$prefix/$datadir/metainfo/com.ostrak.Varnel.metainfo.xml" >"$work/as.log" 2>&1 ||
        { cat "$work/as.log"; fail "appstreamcli validate"; }
fi
for page in varnel varnel-run; do
    man=$prefix/$mandir/man1/$page.1.gz
    gzip -t "$man" 2>/dev/null || { fail "$page.1.gz is not gzip"; continue; }
    if command -v groff >/dev/null; then
        warnings=$(zcat "$man" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
        [ -z "$warnings" ] || fail "$page.1: $warnings"
    fi
done

# The Debian packages, built from the same configuration into a private folder: varnel-run holds the
# runner and the core libraries without the desktop stack; varnel holds the rest and depends on it.
runner_files=("$bindir/varnel-run" "$libdir/libvarnel-common.so.1" "$libdir/libvarnel-stratum.so.1"
    "$mandir/man1/varnel-run.1.gz")
if need cpack && need dpkg-deb && need dpkg-shlibdeps; then
    if cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1; then
        deb=$(ls "$work"/package/varnel_*.deb 2>/dev/null | head -n1)
        rundeb=$(ls "$work"/package/varnel-run_*.deb 2>/dev/null | head -n1)
        if [ -z "$deb" ] || [ -z "$rundeb" ]; then
            fail "cpack did not make varnel_*.deb and varnel-run_*.deb: $(ls "$work/package")"; cat "$work/cpack.log"
        else
            [ "$(dpkg-deb -f "$deb" Package)" = varnel ] || fail "package name is not varnel"
            [ "$(dpkg-deb -f "$rundeb" Package)" = varnel-run ] || fail "runner package name is not varnel-run"
            [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
            [ "$(dpkg-deb -f "$rundeb" Version)" = "$version" ] || fail "runner package version is not $version"
            depends=$(dpkg-deb -f "$deb" Depends)
            for dep in libodbc2 libodbcinst2 libsqliteodbc libqt6widgets6 libc6; do
                grep -q "\b$dep\b" <<<"$depends" || fail "package does not depend on $dep: $depends"
            done
            grep -q "varnel-run (= $version)" <<<"$depends" || fail "package does not depend on varnel-run $version: $depends"
            rundepends=$(dpkg-deb -f "$rundeb" Depends)
            wanted="libodbc2 libodbcinst2 libsqliteodbc libqt6core6 libc6"
            # The spreadsheet export's library counts once the core is linked with it.
            readelf -d "$build/common/libvarnel-common.so.1" | grep -q 'NEEDED.*libxlsxwriter' && wanted+=" libxlsxwriter[0-9]*"
            for dep in $wanted; do
                grep -q "\b$dep\b" <<<"$rundepends" || fail "runner package does not depend on $dep: $rundepends"
            done
            for dep in libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6dbus6 varnel; do
                grep -q "\b$dep\b" <<<"$rundepends" && fail "runner package depends on $dep: $rundepends"
            done
            dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents"
            dpkg-deb -c "$rundeb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/runcontents"
            for file in "${expected[@]}"; do
                # Each file is in exactly one of the packages, below /usr.
                if printf '%s\n' "${runner_files[@]}" | grep -qx "$file"; then
                    grep -qx "/usr/$file" "$work/runcontents" || fail "runner package lacks /usr/$file"
                    grep -qx "/usr/$file" "$work/contents" && fail "package holds the runner's /usr/$file"
                else
                    grep -qx "/usr/$file" "$work/contents" || fail "package lacks /usr/$file"
                fi
            done
            # The packaged programs find the packaged libraries once both packages are unpacked.
            dpkg-deb -x "$rundeb" "$work/unpacked"
            out=$(timeout -k 5 20 "$work/unpacked/usr/bin/varnel-run" --version 2>&1)
            [ "$out" = "varnel-run $version" ] || fail "packaged varnel-run --version said: $out"
            dpkg-deb -x "$deb" "$work/unpacked"
            check_libraries "$work/unpacked/usr/bin/varnel" "$work/unpacked"
            for lib in "$work"/unpacked/usr/lib/varnel/libvarnel-*.so.1; do check_libraries "$lib" "$work/unpacked"; done
            cat "$work/runcontents" >>"$work/contents"
            grep -q '/libvarnel-[a-z-]*\.so$' "$work/contents" && fail "package holds development symlinks"
        fi
    else
        cat "$work/cpack.log"; fail "cpack"
    fi
fi

[ "$failures" -eq 0 ] && echo "installed tree and package are complete"
exit $((failures > 0))
