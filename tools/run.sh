#!/usr/bin/env bash
# Builds one target (win64 by default, or: tools/run.sh win32) and starts Vantoric with its taskbar host
# on Wine's "shell" desktop: win32 under 32-bit Wine, win64 under wine64.
# Without a display it runs under Xvfb for a few seconds, saves build/<target>/screenshot.png and quits
# the program by its quit message. "tools/run.sh win64 screenshots" instead opens every page of the main
# dialog and the program's other windows as a user would and saves a screenshot of each into
# build/<target>/screenshots/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-win64}
mode=${2:-}
case "$target" in win32|win64) ;; *) echo "usage: tools/run.sh [win32|win64] [screenshots]" >&2; exit 2 ;; esac
bash "$root/tools/bootstrap.sh"
bash "$root/tools/build.sh" "$target"
source "$root/tools/winenv.sh" "$root/build/$target"
dist="$root/build/$target/dist"
driver="$root/build/$target/tests/windriver.exe"
if [ -n "${DISPLAY:-}" ] && [ "$mode" != screenshots ]; then
    vt_prepare_prefix
    exec "$WINE" "$dist/Vantoric.exe"
fi
trap vt_stop EXIT
vt_start_xvfb
vt_prepare_prefix
"$WINE" "$dist/Vantoric.exe" &
vantoric=$!
"$WINE" "$driver" wait TfrmClock 20000
if [ "$mode" = screenshots ]; then
    sleep 3
    out="$root/build/$target/screenshots"
    mkdir -p "$out"
    shot() { sleep "${2:-2}"; import -display "$DISPLAY" -window root "$out/$1.png"; echo "screenshot: $out/$1.png"; }
    command() { "$WINE" "$driver" post TfrmClock 273 "$1"; }   # WM_COMMAND of a menu item
    "$WINE" "$driver" post TfrmClock 1125                     # WM_SHOWMAIN
    sleep 2
    # The tabs' centres in the dialog's client area (the tab control sits 6 pixels in, its tabs with their pictures 28 high).
    pages=(date-time alarms skins weather time-zones atomic-clock)
    tabx=(65 159 234 315 416 527)
    for i in "${!pages[@]}"; do
        "$WINE" "$driver" click TfrmClock "${tabx[$i]}" 20
        shot "page-$i-${pages[$i]}"
        if [ "${pages[$i]}" = weather ]; then   # its Daily and Settings buttons, below Current
            "$WINE" "$driver" click TfrmClock 62 140; shot page-3-weather-daily
            "$WINE" "$driver" click TfrmClock 62 172; shot page-3-weather-settings
        fi
    done
    command 511; shot page-proxy          # IDM_PROXY
    command 510; shot page-about          # IDM_ABOUT
    command 500; shot calendar            # IDM_CALENDAR
    command 501; shot forecast            # IDM_FORECAST
    "$WINE" "$driver" post TfrmClock 1124                     # WM_QUITPROGRAM
    wait "$vantoric" || true
    exit 0
fi
sleep "${VT_RUN_SECONDS:-6}"
import -display "$DISPLAY" -window root "$root/build/$target/screenshot.png"
echo "screenshot: build/$target/screenshot.png"
"$WINE" "$driver" post TfrmClock 1124
wait "$vantoric" || true
echo "Vantoric ended"
