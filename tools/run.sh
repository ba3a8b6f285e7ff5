#!/usr/bin/env bash
# Builds one target (win64 by default, or: tools/run.sh win32) and starts Vantoric with its taskbar host
# on Wine's "shell" desktop: win32 under 32-bit Wine, win64 under wine64.
# Without a display it runs under Xvfb for a few seconds, saves build/<target>/screenshot.png and quits
# the program by its quit message.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-win64}
case "$target" in win32|win64) ;; *) echo "usage: tools/run.sh [win32|win64]" >&2; exit 2 ;; esac
bash "$root/tools/bootstrap.sh"
bash "$root/tools/build.sh" "$target"
source "$root/tools/winenv.sh" "$root/build/$target"
dist="$root/build/$target/dist"
driver="$root/build/$target/tests/windriver.exe"
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
import -display "$DISPLAY" -window root "$root/build/$target/screenshot.png"
echo "screenshot: build/$target/screenshot.png"
"$WINE" "$driver" post TfrmClock 1124
wait "$vantoric" || true
echo "Vantoric ended"
