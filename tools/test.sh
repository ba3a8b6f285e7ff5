#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs every test (win64, under Wine and Xvfb).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/bootstrap.sh"
bash "$root/tools/build.sh" win32
bash "$root/tools/build.sh" win64
bash "$root/tools/check_imports.sh" "$root/build/win32/dist" "$root/build/win64/dist"
source "$root/tools/winenv.sh" "$root/build/win64"
trap vt_stop EXIT
vt_start_xvfb
vt_prepare_prefix
ctest --test-dir "$root/build/win64" --output-on-failure -j "$(nproc)"
