#!/usr/bin/env bash
# Configures and builds one target: tools/build.sh win32|win64
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-win64}
cmake -S "$root" -B "$root/build/$target" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$target.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/$target"
