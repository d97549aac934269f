#!/usr/bin/env bash
# The demo: builds Tallyhawk, starts the auction-site simulator with its demo catalogue,
# points a demo data folder at it, seeds a watch list of a dozen items on the first run and
# starts the program with its main window shown.
# Without a display it runs under Xvfb, saves a screenshot of the main window and ends
# (pass --stay to keep it running).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-deps.sh"
"$root/scripts/build.sh"
build=${TALLYHAWK_BUILD_DIR:-$root/build}
stay=0
[ "${1:-}" = "--stay" ] && stay=1

export TALLYHAWK_HOME=${TALLYHAWK_HOME:-$root/demo-home}
mkdir -p "$TALLYHAWK_HOME"
echo "Demo data folder: $TALLYHAWK_HOME"

# The simulator, on free loopback ports; it goes when the demo ends.
ports=$(mktemp)
"$build/bin/tallyhawk-sim" --catalogue "$root/sim/demo-catalogue.json" --seed 7 --speed 4 >"$ports" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; rm -f "$ports"' EXIT
for _ in $(seq 1 100); do
    grep -q '^portal ' "$ports" && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "The simulator did not start" >&2; exit 1; }
    sleep 0.1
done
site=$(awk '$1 == "site" { print $2 }' "$ports")
daytime=$(awk '$1 == "daytime" { print $2 }' "$ports")
portal=$(awk '$1 == "portal" { print $2 }' "$ports")
echo "Simulator: site $site, daytime $daytime, portal $portal"

# The program's own sections ([User], [Columns]) of an earlier run stay; the hosts are new.
kept=""
if [ -f "$TALLYHAWK_HOME/config.ini" ]; then
    kept=$(awk '/^\[/ { keep = ($0 != "[Hosts]" && $0 != "[TimeServers]") } keep' "$TALLYHAWK_HOME/config.ini")
fi
{
    echo "[Hosts]"
    for key in ItemPage Main BidHistory Search CompletedSearch SellerListing; do echo "$key=$site"; done
    # Each outside service has a stand-in of its own, whose page says which one it is.
    for key in Google Hotmail YahooMail Paypal; do
        echo "$key=$(awk -v name="${key,,}" '$1 == name { print $2 }' "$ports")"
    done
    echo "[TimeServers]"
    for i in $(seq 0 11); do echo "Server$i=$daytime"; done
    if [ -n "$kept" ]; then printf '%s\n' "$kept"; fi
} >"$TALLYHAWK_HOME/config.ini"

if [ ! -f "$TALLYHAWK_HOME/registry.db" ]; then
    seed=$(mktemp --suffix=.reg)
    {
        printf 'REGEDIT4\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Setting]\r\n'
        printf '"EBayID"="demo_buyer"\r\n"chkShowBidNotification"=dword:00000001\r\n\r\n'
        grep -o '"number": *"[0-9]*"' "$root/sim/demo-catalogue.json" | grep -o '[0-9][0-9]*' | head -n 12 |
            while read -r item; do
                printf '[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\%s]\r\n"Item"="%s"\r\n\r\n' \
                    "$item" "$item"
            done
    } >"$seed"
    "$build/bin/tallyhawk-cli" import "$seed"
    rm -f "$seed"
    echo "Seeded a watch list of 12 items."
fi

if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    shot=${TALLYHAWK_SCREENSHOT:-$root/demo-screenshot.png}
    rm -f "$shot"
    export TALLYHAWK_SCREENSHOT=$shot
    export TALLYHAWK_SCREENSHOT_DELAY=${TALLYHAWK_SCREENSHOT_DELAY:-6000}
    [ "$stay" = 1 ] || export TALLYHAWK_SCREENSHOT_QUIT=1
    echo "No display: running under Xvfb; the main window's screenshot goes to $shot"
    xvfb-run -a -s "-screen 0 1400x860x24" "$build/bin/tallyhawk" /show
    [ -f "$shot" ] && echo "Screenshot: $shot"
    exit 0
fi
"$build/bin/tallyhawk" /show
