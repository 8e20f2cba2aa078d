#!/usr/bin/env bash
# Sizes: the installer with the demo package, its payload, and the program
# without a payload (QVSetupStub.exe, the same program with resources 103 and 107 left out).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build/win32 --target QVSetup QVSetupStub -- --no-print-directory >/dev/null
size() { stat -c %s "$1"; }
printf '%-40s %9s bytes\n' "QVSetup.exe (demo package)" "$(size build/win32/QVSetup.exe)"
printf '%-40s %9s bytes\n' "payload (resource BIN 103)" "$(size build/win32/QVSetup.payload)"
printf '%-40s %9s bytes\n' "program without payload (QVSetupStub.exe)" "$(size build/win32/QVSetupStub.exe)"
rsrc=$(i686-w64-mingw32-objdump -h build/win32/QVSetupStub.exe | awk '$2 == ".rsrc" {print $3}')
printf '%-40s %9s bytes\n' "  of which resources (pictures, icon)" "$((16#$rsrc))"
echo "DLLs imported by QVSetup.exe:" $(i686-w64-mingw32-objdump -p build/win32/QVSetup.exe | awk '/DLL Name/ {print $3}')
