#!/usr/bin/env bash
# The program folder must use only the Unicode forms of file, registry, INI and shell calls.
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
    done
done
exit $status
