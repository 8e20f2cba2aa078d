#!/usr/bin/env bash
# installer.sh [PACKAGE]: builds build/QVSetup.exe carrying the package tree
# PACKAGE (default package/). The demo package comes from the Windows tree;
# any other tree is built in build/installer with that tree as its payload.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
package=$(cd "${1:-package}" && pwd)
[ -d "$package/Bin" ] || { echo "installer: $package has no Bin folder" >&2; exit 1; }
cd "$root"
if [ "$package" = "$root/package" ]; then
  cmake --build build/win32 --target QVSetup -- --no-print-directory >/dev/null
  cp build/win32/QVSetup.exe build/QVSetup.exe
else
  cmake -Wno-dev --log-level=WARNING -S . -B build/installer \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DQVPACK="$root/build/host/tools/qvpack/qvpack" -DQV_PACKAGE="$package" >/dev/null
  cmake --build build/installer --target QVSetup -j2 -- --no-print-directory >/dev/null
  cp build/installer/QVSetup.exe build/QVSetup.exe
fi
echo "build/QVSetup.exe: $(stat -c %s build/QVSetup.exe) bytes, package $package"
