#!/usr/bin/env bash
# Runs one Windows program of a build under Wine, in that build's own prefix.
# Usage: wine-run.sh win32|win64 PROGRAM [ARGS...]
here=$(cd "$(dirname "$0")" && pwd)
target=$1
shift
: "${WINEPREFIX:=${VANTORIC_WINEPREFIX:-$here/../build/$target/wineprefix}}"
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ "$target" = win32 ]; then
    export WINEARCH=win32
    exec /usr/lib/wine/wine "$@"
fi
exec /usr/lib/wine/wine64 "$@"
