#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, only when
# something is missing. Quick and silent when everything is there.
set -euo pipefail

packages=(make cmake g++ clang git g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
          xvfb xauth googletest imagemagick python3 x11-apps osslsigncode openssl)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
