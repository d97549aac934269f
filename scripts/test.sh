#!/usr/bin/env bash
# The test command: installs what is missing, checks the formatting and what each library
# includes, builds with warnings as errors and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The tests read the calendar file back with a real iCalendar library; the program needs none.
"$root/scripts/setup-deps.sh" python3-icalendar
"$root/scripts/check-format.sh"
python3 "$root/scripts/check-includes.py"
TALLYHAWK_WERROR=ON "$root/scripts/build.sh"
cd "${TALLYHAWK_BUILD_DIR:-$root/build}"
ctest --output-on-failure --parallel "$(nproc)" "$@"
