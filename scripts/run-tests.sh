#!/usr/bin/env bash
# Runs every test: the host tests natively, then the Windows tests under Wine
# with one persistent wineserver and one X server (Xvfb) for the whole run.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
cd "$QV_ROOT"

ctest --test-dir build/host --output-on-failure

if [ "$QV_WINE_BITS" = 64 ]; then
  echo "run-tests: this kernel runs no 32-bit programs; the Windows tests run on" \
    "a 64-bit build (build/win64), the 32-bit installer is built but not run" >&2
fi

export WINEPREFIX=$QV_WINE_DIR/unit
scripts/wine-prefix.sh "$WINEPREFIX" "$QV_WINE_DIR/base"
wineserver -p
trap 'WINEPREFIX=$QV_WINE_DIR/unit wineserver -k 2>/dev/null || true' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir "$QV_WINDOWS_TREE" --output-on-failure -j2 "$@"
