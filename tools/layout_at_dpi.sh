#!/usr/bin/env bash
# Runs the layout checks of the forms (every control inside its parent, none over another, every caption
# whole) on a screen of another DPI. Wine reads the DPI when a prefix starts, so this keeps a prefix of
# its own beside the build's, with "LogPixels" set before any program runs in it.
# Usage: layout_at_dpi.sh BUILD_DIR DPI   (from ctest, on the display the suite already runs on)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
dpi=$2
source "$root/tools/winenv.sh" "$build"
export WINEPREFIX="$build/wineprefix-dpi$dpi"
vt_prepare_prefix
if ! grep -qs "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" "$WINEPREFIX/user.reg"; then
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    "$WINESERVER" -w
fi
# This prefix's server ends with the checks, whatever their result.
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
export VT_DIST="$build/dist" VT_SOURCE="$root"
cd "$build/tests"
status=0
run() {
    echo "== $1 at $dpi dpi"
    "$WINE" "./$1.exe" --gtest_filter="$2" || status=1
}
run app_tests 'MainFormTest.EveryPageLaysItsControlsOutWhole:MainFormTest.AboutShowsTheProgramPictureAndTheNotice'
run alarms_editor_tests 'TfrmAlarm.EveryTabLaysItsControlsOutWhole:TfrmAlarm.DropDownArrowLooksPressedWhileItsMenuIsOpen'
run alarms_ui_tests 'MessageWindow.SnoozeButtonIsOwnerDrawnWithItsClockGlyph'
exit $status
