#!/usr/bin/env bash
# Configures and builds Tallyhawk into build/ (or $TALLYHAWK_BUILD_DIR).
# Warnings are errors when TALLYHAWK_WERROR=ON (the test command sets it) or CI=true;
# otherwise the build tree keeps whatever it was configured with (off in a new one).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHAWK_BUILD_DIR:-$root/build}
werror=${TALLYHAWK_WERROR:-}
[ "${CI:-}" = "true" ] && werror=ON
options=()
[ -n "$werror" ] && options+=("-DTALLYHAWK_WERROR=$werror")
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
