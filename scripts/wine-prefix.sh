#!/usr/bin/env bash
# wine-prefix.sh DIR [TEMPLATE]
# Makes DIR a ready Wine prefix: a copy of TEMPLATE when one is given (much
# faster than booting), otherwise booted anew. Does nothing when DIR is ready.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
dir=$1
template=${2:-}

[ -f "$dir/.qv-ready" ] && exit 0
rm -rf "$dir"
mkdir -p "$(dirname "$dir")"
if [ -n "$template" ]; then
  "$0" "$template"
  cp -a "$template" "$dir"
  exit 0
fi

WINEPREFIX=$dir wineboot -i >/dev/null 2>&1
# Without a window manager (Xvfb), a managed window's hiding waits 2 s for the
# manager that never answers; unmanaged windows close at once.
WINEPREFIX=$dir wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
WINEPREFIX=$dir wineserver -w
# A new prefix links Desktop, Documents and the like to $HOME; make them real
# folders so that nothing a test writes lands outside the prefix.
for link in "$dir"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm "$link"
    mkdir "$link"
  fi
done
touch "$dir/.qv-ready"
