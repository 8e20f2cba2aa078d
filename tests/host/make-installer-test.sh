#!/usr/bin/env bash
# make installer in a clean copy of the sources in WORK ($1), on a PATH without
# Wine, Xvfb, apt, dpkg and sudo: without mingw-w64's C++ compiler it stops before
# building and names the package; with it, it builds the installer, no GoogleTest.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd) work=$1
rm -rf "$work" && mkdir -p "$work/bin" "$work/clone" && cd "$work/clone"
tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -xf -
# Links to the commands on PATH but those; ln keeps the first of a name, as PATH does.
find -L ${PATH//:/ } -maxdepth 1 -type f -perm -u+x -regextype posix-extended \! -regex \
  '.*/(wine.*|Xvfb|xvfb-run|apt.*|dpkg.*|sudo|i686-w64-mingw32-g\+\+-posix)' -exec ln -s -t "$work/bin" {} + 2>/dev/null || true

if PATH=$work/bin make installer >../out 2>&1 || [ -e build ] || ! grep -q \
  "i686-w64-mingw32-g++-posix is missing; on Debian: apt-get install g++-mingw-w64-i686" ../out; then
  cat ../out; echo "FAIL: make installer did not stop before building and name g++-mingw-w64-i686"; exit 1
fi
ln -s "$(command -v i686-w64-mingw32-g++-posix)" "$work/bin"
PATH=$work/bin make installer >../out 2>&1 && [ -f build/QVSetup.exe ] && ! ls -d build/*/googletest 2>/dev/null ||
  { cat ../out; echo "FAIL: make installer failed, or built GoogleTest"; exit 1; }
rm -rf "$work"
