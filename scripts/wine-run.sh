#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the prefix of the unit
# tests (or QV_WINEPREFIX); with QV_WINE_DPI in a prefix of its own at that
# screen resolution. CMake uses it to run the cross-compiled tests.
# The output goes through a file: Wine's long-lived helper processes (services,
# explorer) inherit the standard handles, and a pipe they hold open would keep
# the caller waiting after the program has ended.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
dpi=${QV_WINE_DPI:-}
export WINEPREFIX=${QV_WINEPREFIX:-$QV_WINE_DIR/unit${dpi:+-${dpi}dpi}}
"$(dirname "$0")/wine-prefix.sh" "$WINEPREFIX" "$QV_WINE_DIR/base" || exit 1
if [ -n "$dpi" ] && [ ! -f "$WINEPREFIX/.qv-dpi" ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    </dev/null >/dev/null 2>&1 || exit 1
  wineserver -w
  touch "$WINEPREFIX/.qv-dpi"
fi
output=$(mktemp)
trap 'rm -f "$output"' EXIT
wine "$@" </dev/null >"$output" 2>&1
status=$?
cat "$output"
exit $status
