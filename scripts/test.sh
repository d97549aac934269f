#!/usr/bin/env bash
# The test command: installs what is missing, checks the formatting and what each library
# includes, builds with warnings as errors and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-deps.sh"
"$root/scripts/check-format.sh"
python3 "$root/scripts/check-includes.py"
TALLYHAWK_WERROR=ON "$root/scripts/build.sh"
cd "${TALLYHAWK_BUILD_DIR:-$root/build}"
ctest --output-on-failure --parallel "$(nproc)" "$@"
