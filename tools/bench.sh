#!/usr/bin/env bash
# Runs the benchmarks of one build under Wine and Xvfb and prints their tables:
#   tools/bench.sh [win32|win64] [soak ticks]
# The clock paint (us per paint beside one BitBlt of the same area), the soak (GDI and USER objects,
# private bytes and the program's heap before and after a million ticks, about 11.5 days), and the start
# and quit of the real program beside a trivial Win32 program started the same way, and what the program
# holds at rest beside that trivial program (memory, objects, modules, CPU).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-win32}
ticks=${2:-1000000}
[ -x "$root/build/$target/benchmarks/bench_soak.exe" ] || bash "$root/tools/build.sh" "$target"
source "$root/tools/winenv.sh" "$root/build/$target"
trap vt_stop EXIT
vt_start_xvfb
vt_prepare_prefix
bench="$root/build/$target/benchmarks"
dist="Z:$(sed 's|/|\\|g' <<<"$root/build/$target/dist")"
echo "=== $target: clock paint"
"$WINE" "$bench/bench_clock_paint.exe"
echo "=== $target: soak of $ticks ticks"
"$WINE" "$bench/bench_soak.exe" "$ticks"
echo "=== $target: start and quit"
"$WINE" "$bench/bench_start_quit.exe" "$dist" 5
echo "=== $target: memory at rest"
"$WINE" "$bench/bench_memory.exe" "$dist" 20
