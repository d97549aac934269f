#!/usr/bin/env bash
# Installs the Debian packages Tallyhawk builds, tests and runs with, and any more named on
# its command line. Safe to run again: it installs only what is missing, and refreshes the
# package lists only then.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config clang-format python3
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-multimedia-dev libgl-dev
    libsqlite3-dev
    fonts-dseg fonts-comic-neue
    xvfb xauth dbus
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "setup-deps: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
fi
echo "setup-deps: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
