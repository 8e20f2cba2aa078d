#!/usr/bin/env bash
# build-tools.sh: checks that the tools make installer uses are there, before
# it builds anything. It installs nothing: each missing one is named with the
# Debian package that has it, and the check fails.
# Building needs CMake, a host C and C++ compiler (for the packer) and
# mingw-w64's i686 compilers and windres, and Python 3, which sets the run
# from swap flags in the linked installer (make itself is running already).
# Signing (SIGN_CERT, SIGN_KEY or SIGN_PKCS11_MODULE set) needs osslsigncode;
# with a key on a token (SIGN_PKCS11_MODULE) also the OpenSSL PKCS#11 engine,
# which osslsigncode loads by its name "pkcs11".
set -euo pipefail
missing=0

# need PACKAGE COMMAND: reports COMMAND when it is not on PATH.
need() {
  command -v "$2" >/dev/null && return
  echo "make installer: $2 is missing; on Debian: apt-get install $1" >&2
  missing=1
}

need cmake cmake
need python3 python3
need gcc "${CC:-cc}"
need g++ "${CXX:-c++}"
for tool in gcc-posix g++-posix windres; do
  need g++-mingw-w64-i686 "i686-w64-mingw32-$tool"
done
if [ -n "${SIGN_CERT:-}${SIGN_KEY:-}${SIGN_PKCS11_MODULE:-}" ]; then
  need osslsigncode osslsigncode
fi
if [ -n "${SIGN_PKCS11_MODULE:-}" ]; then
  need openssl openssl
  if command -v openssl >/dev/null && ! openssl engine pkcs11 >/dev/null 2>&1; then
    echo "make installer: the OpenSSL PKCS#11 engine is missing;" \
      "on Debian: apt-get install libengine-pkcs11-openssl" >&2
    missing=1
  fi
fi
exit $missing
