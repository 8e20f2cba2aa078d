#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the prefix of the unit
# tests (or QV_WINEPREFIX). CMake uses it to run the cross-compiled tests.
# The output goes through a file: Wine's long-lived helper processes (services,
# explorer) inherit the standard handles, and a pipe they hold open would keep
# the caller waiting after the program has ended.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
export WINEPREFIX=${QV_WINEPREFIX:-$QV_WINE_DIR/unit}
"$(dirname "$0")/wine-prefix.sh" "$WINEPREFIX" "$QV_WINE_DIR/base" || exit 1
output=$(mktemp)
trap 'rm -f "$output"' EXIT
wine "$@" </dev/null >"$output" 2>&1
status=$?
cat "$output"
exit $status
