#!/usr/bin/env bash
# Builds win64 and starts Vantoric with its taskbar host on Wine's "shell" desktop.
# Without a display it runs under Xvfb for a few seconds, saves build/win64/screenshot.png and quits
# the program by its quit message.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/bootstrap.sh"
bash "$root/tools/build.sh" win64
source "$root/tools/winenv.sh" "$root/build/win64"
dist="$root/build/win64/dist"
driver="$root/build/win64/tests/windriver.exe"
if [ -n "${DISPLAY:-}" ]; then
    vt_prepare_prefix
    exec "$WINE" "$dist/Vantoric.exe"
fi
trap vt_stop EXIT
vt_start_xvfb
vt_prepare_prefix
"$WINE" "$dist/Vantoric.exe" &
vantoric=$!
"$WINE" "$driver" wait TfrmClock 20000
sleep "${VT_RUN_SECONDS:-6}"
import -display "$DISPLAY" -window root "$root/build/win64/screenshot.png"
echo "screenshot: build/win64/screenshot.png"
"$WINE" "$driver" post TfrmClock 1124
wait "$vantoric" || true
echo "Vantoric ended"
