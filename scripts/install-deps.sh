#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Varnel need, when any is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev
    unixodbc unixodbc-dev libsqliteodbc odbc-postgresql
    postgresql sqlite3
    mariadb-server mariadb-client odbc-mariadb
    libxlsxwriter-dev
    libsecret-1-dev gnome-keyring dbus-daemon dbus-bin
    libgtest-dev libbenchmark-dev time clang-format
    xvfb xdotool imagemagick poppler-utils
    desktop-file-utils appstream dpkg-dev file librsvg2-bin
    fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
