#!/usr/bin/env bash
# The demo: builds Tallyhawk and starts it shown, on a demo data folder of its own.
# Without a display it runs under Xvfb and saves a screenshot of the main window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-deps.sh"
"$root/scripts/build.sh"
build=${TALLYHAWK_BUILD_DIR:-$root/build}

export TALLYHAWK_HOME=${TALLYHAWK_HOME:-$root/demo-home}
mkdir -p "$TALLYHAWK_HOME"
echo "Demo data folder: $TALLYHAWK_HOME"

if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    shot=${TALLYHAWK_SCREENSHOT:-$root/demo-screenshot.png}
    rm -f "$shot"
    export TALLYHAWK_SCREENSHOT=$shot
    echo "No display: running under Xvfb; the main window's screenshot goes to $shot"
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$build/bin/tallyhawk" /show
fi
exec "$build/bin/tallyhawk" /show
