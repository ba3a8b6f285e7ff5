# Sourced by the run and test scripts: a private Wine prefix in the build folder, on a display.
# Usage: source tools/winenv.sh BUILD_DIR   (build/win32 runs under 32-bit Wine, build/win64 under wine64)
vt_build=$(cd "$1" && pwd)
export WINEPREFIX="$vt_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$(basename "$vt_build")" = win32 ]; then
    export WINEARCH=win32
    WINE=/usr/lib/wine/wine
    WINESERVER=/usr/lib/wine/wineserver32
else
    unset WINEARCH
    WINE=/usr/lib/wine/wine64
    WINESERVER=/usr/lib/wine/wineserver64
fi
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver

vt_xvfb_pid=""
vt_start_xvfb() {
    # Xvfb picks a free display itself: suites started at the same moment never share one (a display
    # taken away by the other suite's end fails every window after it).
    local numberFile
    numberFile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
    vt_xvfb_pid=$!
    for _ in $(seq 100); do
        if [ -s "$numberFile" ]; then
            export DISPLAY=":$(tr -d '[:space:]' <"$numberFile")"
            rm -f "$numberFile"
            return 0
        fi
        sleep 0.1
    done
    rm -f "$numberFile"
    echo "Xvfb did not start" >&2
    return 1
}

vt_stop() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    [ -n "$vt_xvfb_pid" ] && kill "$vt_xvfb_pid" >/dev/null 2>&1 || true
    vt_xvfb_pid=""
}

# Every process of the prefix lives on the virtual desktop "shell", which has Wine's taskbar.
vt_prepare_prefix() {
    "$WINESERVER" -k >/dev/null 2>&1 || true   # a desktop left without a display blocks new windows
    mkdir -p "$WINEPREFIX"
    if ! grep -qs '"Desktop"="shell"' "$WINEPREFIX/user.reg" || ! grep -qs '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg"; then
        "$WINE" wineboot -i >/dev/null 2>&1
        "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
        "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
        # A crashing test program must fail at once, not wait on a dialog nobody sees.
        "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        "$WINESERVER" -w
        grep -qs '"Desktop"="shell"' "$WINEPREFIX/user.reg" || { echo "Wine prefix not prepared" >&2; return 1; }
    fi
}
