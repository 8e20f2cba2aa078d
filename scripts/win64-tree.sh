#!/usr/bin/env bash
# Where the kernel runs no 32-bit programs (scripts/wine-env.sh), builds
# build/win64: the same sources for 64-bit Windows, which the tests, the demo
# and the benchmarks then run under 64-bit Wine. Does nothing elsewhere.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
cd "$QV_ROOT"
[ "$QV_WINE_BITS" = 64 ] || exit 0
test -f build/win64/CMakeCache.txt || cmake -Wno-dev --log-level=WARNING -S . -B build/win64 \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DQVPACK="$QV_ROOT/build/host/tools/qvpack/qvpack"
cmake --build build/win64 -j2 -- --no-print-directory
