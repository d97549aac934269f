#!/usr/bin/env bash
# A bid group against the simulator: five copies of one lens ending a minute apart
# (sim/group-catalogue.json), an automatic bid of 50 on each, all in group "lens" that wins up
# to 1, stored through a registry-script import. The program runs (on a virtual display when
# there is none) until the last copy has ended; then the main window and the bid log are
# saved as pictures beside the program's log.
# Usage: scripts/group-demo.sh [picture.png]   (build first: scripts/build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHAWK_BUILD_DIR:-$root/build}
shot=${1:-$root/group-demo.png}
export TALLYHAWK_HOME=${TALLYHAWK_HOME:-$(mktemp -d)}
echo "Data folder: $TALLYHAWK_HOME"

ports=$(mktemp)
"$build/bin/tallyhawk-sim" --catalogue "$root/sim/group-catalogue.json" --seed 3 >"$ports" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; rm -f "$ports"' EXIT
for _ in $(seq 1 100); do
    grep -q '^portal ' "$ports" && break
    sleep 0.1
done
site=$(awk '$1 == "site" { print $2 }' "$ports")
daytime=$(awk '$1 == "daytime" { print $2 }' "$ports")
portal=$(awk '$1 == "portal" { print $2 }' "$ports")
{
    echo "[Hosts]"
    for key in ItemPage Main BidHistory Search CompletedSearch SellerListing; do echo "$key=$site"; done
    for key in Google Hotmail YahooMail Paypal; do echo "$key=$portal"; done
    echo "[TimeServers]"
    echo "Server0=$daytime"
} >"$TALLYHAWK_HOME/config.ini"

# The account's password as the settings keep it.
password=$(python3 -c '
key = b"qM4#hawK7"; data = b"demo"; s = list(range(256)); j = 0
for i in range(256):
    j = (j + s[i] + key[i % len(key)]) % 256; s[i], s[j] = s[j], s[i]
i = j = 0; out = bytearray()
for b in data:
    i = (i + 1) % 256; j = (j + s[i]) % 256; s[i], s[j] = s[j], s[i]
    out.append(b ^ s[(s[i] + s[j]) % 256])
print(out.hex().upper())')
script=$(mktemp --suffix=.reg)
{
    printf 'REGEDIT4\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Setting]\r\n'
    printf '"EBayID"="demo_buyer"\r\n"EBayPWD"="%s"\r\n"SaveEBay"=dword:00000001\r\n\r\n' "$password"
    printf '[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\BidGroups]\r\n"lens"="1"\r\n\r\n'
    for item in 2407620001 2407620002 2407620003 2407620004 2407620005; do
        printf '[HKEY_CURRENT_USER\\Software\\Quillmarsh\\Tallyhawk\\Watches\\%s]\r\n"Item"="%s"\r\n' "$item" "$item"
        printf '"MaxAutoBid"="50"\r\n"MaxQuantity"="1"\r\n"MaxTimeLeft"="10"\r\n"BidGroup"="lens"\r\n\r\n'
    done
} >"$script"
"$build/bin/tallyhawk-cli" import "$script"
rm -f "$script"

[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
# Without a display the program runs on a virtual one of its own.
if [ -z "${DISPLAY:-}" ]; then
    number=90
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
    export DISPLAY=:$number
    Xvfb "$DISPLAY" -screen 0 1400x900x24 >/dev/null 2>&1 &
    xvfb_pid=$!
    trap 'kill "$sim_pid" "$xvfb_pid" 2>/dev/null || true; rm -f "$ports"' EXIT
    sleep 1
fi
"$build/bin/tallyhawk" /show >"$TALLYHAWK_HOME/program.log" 2>&1 &
program=$!
# The last copy ends seven minutes after the simulator started; its result follows.
sleep "${GROUP_DEMO_WAIT:-470}"
window=$(xdotool search --name "^Tallyhawk for" | head -n 1)
import -window "$window" "${shot%.png}-main-window.png"
# The bid log: the list menu (a right click on the list), then its "Bid Log" entry.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 300)) $((Y + 200)) click 1 click 3
sleep 1
xdotool mousemove $((X + 349)) $((Y + 386)) click 1
sleep 2
log=$(xdotool search --name "Bid Log" | head -n 1)
import -window "$log" "${shot%.png}-bid-log.png"
kill "$program"
echo "Program log: $TALLYHAWK_HOME/program.log; pictures: ${shot%.png}-main-window.png, ${shot%.png}-bid-log.png"
