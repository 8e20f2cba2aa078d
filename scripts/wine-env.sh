# Sourced by the scripts that start Wine: quiet logs, no Mono or Gecko offer,
# no menu entries on the host, a 32-bit prefix where the kernel allows.
QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

# A kernel without 32-bit emulation (ia32_emulation off) cannot start Wine's
# 32-bit loader. There the Windows tests run on a 64-bit build of the same
# sources (build/win64) in 64-bit prefixes; docs/build-and-tests.md says what
# that does not cover.
if [ -z "${QV_WINE_BITS:-}" ]; then
  QV_WINE_BITS=32
  if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    QV_WINE_BITS=64
  fi
  export QV_WINE_BITS
fi
if [ "$QV_WINE_BITS" = 64 ]; then
  export WINEARCH=win64
  export PATH=$QV_ROOT/scripts/wine64:$PATH
  QV_WINDOWS_TREE=$QV_ROOT/build/win64
  QV_MINGW=x86_64-w64-mingw32
  QV_WINE_DIR=${QV_WINE_DIR:-$QV_ROOT/build/wine64}
else
  export WINEARCH=win32
  QV_WINDOWS_TREE=$QV_ROOT/build/win32
  QV_MINGW=i686-w64-mingw32
  QV_WINE_DIR=${QV_WINE_DIR:-$QV_ROOT/build/wine}
fi
