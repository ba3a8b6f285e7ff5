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
    # The ids of the menu items and controls below, as the resource headers define them.
    for name in IDM_PROXY IDM_ABOUT IDM_CALENDAR IDM_FORECAST IDC_CHBSECONDS IDC_AL_LVALARMS IDC_LVSKINS \
                IDC_PBTCURRENT IDC_PBTDAILY IDC_PBTSETTINGS IDC_PNDAILYWEATHER IDC_PNWEATHERCOM IDC_LISTZONES IDC_BGET \
                IDC_CBENABLEPROXY IDC_LBABOUTPROGNAME; do
        value=$(awk -v name="$name" '$1 == "#define" && $2 == name { print $3; exit }' "$root"/resources/*.h)
        [ -n "$value" ] || { echo "run.sh: $name is not in resources/" >&2; exit 1; }
        printf -v "$name" %s "$value"
    done
    # Each picture is taken once the driver saw its page or window shown; the driver fails the run when
    # that does not come.
    drive() { "$WINE" "$driver" "$@"; }
    shot() { sleep 2; import -display "$DISPLAY" -window root "$out/$1.png"; echo "screenshot: $out/$1.png"; }
    command() { drive post TfrmClock 273 "$1"; }   # WM_COMMAND of a menu item
    drive post TfrmClock 1125                     # WM_SHOWMAIN
    drive shown TfrmClock 20000
    # Each tab, shown once a control that only its page has shows.
    pages=(date-time alarms skins weather time-zones atomic-clock)
    controls=(IDC_CHBSECONDS IDC_AL_LVALARMS IDC_LVSKINS IDC_PBTCURRENT IDC_LISTZONES IDC_BGET)
    for i in "${!pages[@]}"; do
        control=${controls[$i]}
        drive tab TfrmClock "$i" "${!control}"
        shot "page-$i-${pages[$i]}"
        if [ "${pages[$i]}" = weather ]; then   # its Daily and Settings buttons, below Current
            drive press TfrmClock "$IDC_PBTDAILY" "$IDC_PNDAILYWEATHER"; shot page-3-weather-daily
            drive press TfrmClock "$IDC_PBTSETTINGS" "$IDC_PNWEATHERCOM"; shot page-3-weather-settings
        fi
    done
    command "$IDM_PROXY"; drive shown TfrmClock 10000 "$IDC_CBENABLEPROXY"; shot page-proxy
    command "$IDM_ABOUT"; drive shown TfrmClock 10000 "$IDC_LBABOUTPROGNAME"; shot page-about
    command "$IDM_CALENDAR"; drive shown TfrmCalendar2 10000; shot calendar
    command "$IDM_FORECAST"; drive shown TfrmNimbrel 10000; shot forecast
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
