#!/usr/bin/env bash
# installer.sh [PACKAGE]: builds build/QVSetup.exe carrying the package tree
# PACKAGE (default package/) and prints one line: the installer's path and
# size, the package's files and folders and the installer's SHA-256.
# Taken from the environment (make installer passes its variables on):
#   COMPANY             maker named in the version information
#   SOURCE_DATE_EPOCH   the PE header's time stamp (0 when unset)
#   SIGN_CERT, SIGN_KEY sign the installer (scripts/sign.sh): the certificate
#                       and the private key, a PEM file or, with
#                       SIGN_PKCS11_MODULE, a pkcs11: URI of a key on a token
#                       (its PIN in SIGN_PIN, or asked for); SIGN_TIMESTAMP
#                       time-stamps the signature
# The demo package without COMPANY and SOURCE_DATE_EPOCH comes from the
# Windows tree once make has configured it; everything else is built in
# build/installer, a tree without the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
package=$(cd "${1:-package}" && pwd)
[ -d "$package/Bin" ] || { echo "installer: $package has no Bin folder" >&2; exit 1; }
# A key named in the wrong form would fail only at the end, or not sign at all.
if [ -n "${SIGN_CERT:-}${SIGN_KEY:-}${SIGN_PKCS11_MODULE:-}" ]; then
  [ -n "${SIGN_CERT:-}" ] && [ -n "${SIGN_KEY:-}" ] ||
    { echo "installer: signing needs both SIGN_CERT and SIGN_KEY" >&2; exit 1; }
  SIGN_CERT=$(realpath -m "$SIGN_CERT")
  if [[ "$SIGN_KEY" == pkcs11:* ]]; then
    [ -n "${SIGN_PKCS11_MODULE:-}" ] ||
      { echo "installer: a pkcs11: key needs SIGN_PKCS11_MODULE, the token's PKCS#11 module" >&2; exit 1; }
    SIGN_PKCS11_MODULE=$(realpath -e "$SIGN_PKCS11_MODULE")
    export SIGN_PKCS11_MODULE
  else
    [ -z "${SIGN_PKCS11_MODULE:-}" ] ||
      { echo "installer: with SIGN_PKCS11_MODULE, SIGN_KEY is a pkcs11: URI, not $SIGN_KEY" >&2; exit 1; }
    SIGN_KEY=$(realpath -m "$SIGN_KEY")
  fi
  export SIGN_CERT SIGN_KEY
fi
cd "$root"
# A failed run leaves no installer that could be taken for its result.
rm -f build/QVSetup.exe
if [ "$package" = "$root/package" ] && [ -z "${COMPANY:-}${SOURCE_DATE_EPOCH:-}" ] &&
  [ -f build/win32/CMakeCache.txt ]; then
  tree=build/win32
else
  tree=build/installer
  cmake -Wno-dev --no-warn-unused-cli --log-level=WARNING -S . -B $tree \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel -DQV_TESTS=OFF \
    -DQVPACK="$root/build/host/tools/qvpack/qvpack" -DQV_PACKAGE="$package" \
    -DQV_COMPANY="${COMPANY:-}" -DQV_SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-0}" >/dev/null
fi
cmake --build $tree --target QVSetup -j2 -- --no-print-directory >/dev/null
if [ -n "${SIGN_CERT:-}" ]; then
  scripts/sign.sh $tree/QVSetup.exe build/QVSetup.exe
else
  cp $tree/QVSetup.exe build/QVSetup.exe
fi
files=$(find "$package" -type f | wc -l)
folders=$(find "$package" -mindepth 1 -type d | wc -l)
sha=$(sha256sum build/QVSetup.exe | cut -d ' ' -f 1)
echo "build/QVSetup.exe: $(stat -c %s build/QVSetup.exe) bytes, $files files in $folders folders" \
  "from $package, SHA-256 $sha"
