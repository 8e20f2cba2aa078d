#!/usr/bin/env bash
# Copies the stand-in program (tests/e2e/standin.cpp, built in build/win32)
# into the demo package as the package's own starter and uninstaller. The
# copies are committed, so the build never runs this.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build/win32 --target standin >/dev/null
for name in zurar roravoduruz; do
  cp build/win32/standin.exe "package/Bin/$name.exe"
done
