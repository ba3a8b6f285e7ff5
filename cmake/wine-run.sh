#!/usr/bin/env bash
# Runs one Windows program of the win64 build under Wine, in the build folder's own prefix.
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=${VANTORIC_WINEPREFIX:-$here/../build/wineprefix}}"
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec /usr/lib/wine/wine64 "$@"
