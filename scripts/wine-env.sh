# Sourced by the scripts that start Wine: quiet logs, no Mono or Gecko offer,
# no menu entries on the host, a 32-bit prefix.
QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QV_WINE_DIR=${QV_WINE_DIR:-$QV_ROOT/build/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win32
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
