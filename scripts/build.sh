#!/usr/bin/env bash
# Configures and builds Tallyhawk into build/ (or $TALLYHAWK_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHAWK_BUILD_DIR:-$root/build}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLYHAWK_WERROR=$werror "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
