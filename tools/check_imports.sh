#!/usr/bin/env bash
# The program folder must use only the Unicode forms of file, registry, INI and shell calls, and the
# programs must not link what they load on first use: a linked library is in memory from start to end.
set -euo pipefail
status=0
for dir in "$@"; do
    for f in "$dir"/*.exe "$dir"/*.dll; do
        [ -e "$f" ] || continue
        bad=$(x86_64-w64-mingw32-objdump -p "$f" 2>/dev/null | awk '/DLL Name:/ {dll=$3} /^\s+[0-9a-f]+\s+[0-9]+\s+\S+A$/ {print dll": "$3}' |
              grep -Ei '(kernel32|advapi32|shell32|shlwapi|user32|comdlg32|version|winmm)' || true)
        if [ -n "$bad" ]; then
            echo "ANSI imports in $f:"; echo "$bad"; status=1
        fi
        case "$(basename "$f")" in
            Vantoric.exe) late='comdlg32|winhttp|crypt32|hhctrl|windowscodecs|msxml3' ;;
            Quellix.exe) late='comdlg32|winhttp|crypt32|hhctrl|windowscodecs|msxml3|comctl32' ;;
            *) late='' ;;
        esac
        if [ -n "$late" ]; then
            linked=$(x86_64-w64-mingw32-objdump -p "$f" 2>/dev/null | awk '/DLL Name:/ {print $3}' | grep -Ei "^($late)\." || true)
            if [ -n "$linked" ]; then
                echo "$f links what it loads on first use:"; echo "$linked"; status=1
            fi
        fi
    done
done
exit $status
