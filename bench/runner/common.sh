# Shared by the runner comparisons: a private ODBC configuration and home in a temporary folder, so
# nothing of the user's is read or written, and one measured run. Source it after setting `build`.
runner=$build/tools/varnel-run
timer=/usr/bin/time
sqlite_driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so
for need in "$runner" "$timer" "$sqlite_driver"; do
    if [ ! -e "$need" ]; then
        echo "$(basename "$0"): $need is missing (scripts/install-deps.sh installs time)" >&2
        exit 1
    fi
done
work=$(mktemp -d "${TMPDIR:-/tmp}/varnel-bench-XXXXXX")
# Databases written statement by statement live in memory where possible: the disk is not measured.
dbdir=$work
[ -d /dev/shm ] && [ -w /dev/shm ] && dbdir=$(mktemp -d /dev/shm/varnel-bench-XXXXXX)
trap 'rm -rf "$work" "$dbdir"' EXIT
mkdir -p "$work/home"
printf '[SQLite3]\nDriver=%s\n[PostgreSQL Unicode]\nDriver=psqlodbcw.so\n' "$sqlite_driver" >"$work/odbcinst.ini"
: >"$work/user-odbc.ini"
export ODBCSYSINI=$work ODBCINI=$work/user-odbc.ini HOME=$work/home
export XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share

# Adds a data source: NAME DRIVER then KEY=VALUE lines.
add_source() {
    local name=$1 driver=$2
    shift 2
    { printf '[%s]\nDriver=%s\n' "$name" "$driver"; printf '%s\n' "$@"; } >>"$work/user-odbc.ini"
}

# One measured run of a command, its standard output to a file: prints "wall cpu peak_kB".
measure() {
    local out=$1
    shift
    "$timer" -o "$work/time" -f "%e %U %S %M" "$@" >"$out"
    awk '{ printf "%.2f %.2f %d\n", $1, $2 + $3, $4 }' "$work/time"
}

