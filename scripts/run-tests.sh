#!/usr/bin/env bash
# Runs every test: the host tests natively, then the Windows tests under Wine
# with one persistent wineserver and one X server (Xvfb) for the whole run.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
cd "$QV_ROOT"

ctest --test-dir build/host --output-on-failure

export WINEPREFIX=$QV_WINE_DIR/unit
scripts/wine-prefix.sh "$WINEPREFIX" "$QV_WINE_DIR/base"
wineserver -p
trap 'WINEPREFIX=$QV_WINE_DIR/unit wineserver -k 2>/dev/null || true' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir build/win32 --output-on-failure -j2 "$@"
