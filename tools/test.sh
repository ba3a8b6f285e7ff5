#!/usr/bin/env bash
# Installs what is missing, builds win32 and win64 and runs every test of both builds under Wine and
# Xvfb: win32 under 32-bit Wine, win64 under wine64, each in its own prefix and on its own display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/bootstrap.sh"
targets=(win64)
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    targets=(win32 win64)
else
    echo "This machine cannot run 32-bit programs: only the win64 tests run."
fi
bash "$root/tools/build.sh" win32 &
b32=$!
bash "$root/tools/build.sh" win64
wait "$b32"
bash "$root/tools/check_imports.sh" "$root/build/win32/dist" "$root/build/win64/dist"

# One build's suite, in a subshell of its own so that its prefix and display stay apart.
run_suite() (
    source "$root/tools/winenv.sh" "$root/build/$1"
    trap vt_stop EXIT
    vt_start_xvfb
    vt_prepare_prefix
    ctest --test-dir "$root/build/$1" --output-on-failure -j "${VT_TEST_JOBS:-4}"
)

pids=()
for t in "${targets[@]}"; do
    run_suite "$t" > "$root/build/$t/test.log" 2>&1 &
    pids+=($!)
done
failed=0
for i in "${!targets[@]}"; do
    if wait "${pids[$i]}"; then status=passed; else status=FAILED; failed=1; fi
    echo "=== ${targets[$i]}: $status"
    cat "$root/build/${targets[$i]}/test.log"
done
# One closing line for both builds.
total_pass=0; total_fail=0
for t in "${targets[@]}"; do
    line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$root/build/$t/test.log" | tail -n 1 || true)
    if [ -z "$line" ]; then total_fail=$((total_fail + 1)); continue; fi
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    n=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    total_pass=$((total_pass + n - f)); total_fail=$((total_fail + f))
done
echo "${total_pass} passed, ${total_fail} failed"
exit "$failed"
