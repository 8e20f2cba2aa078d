#!/usr/bin/env bash
# make installer in a clean copy of the sources in WORK ($1), on a PATH of links to every command
# but Wine's, Xvfb, apt's, dpkg's and sudo: it builds the installer, and no GoogleTest, only
# once mingw-w64's C++ compiler is there; before that it stops first and names the package.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd) work=$1
rm -rf "$work" && mkdir -p "$work/bin" "$work/clone" && cd "$work/clone"
tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -xf -
find -L ${PATH//:/ } -maxdepth 1 -type f -perm -u+x -regextype posix-extended \! -regex \
  '.*/(wine.*|Xvfb|xvfb-run|apt.*|dpkg.*|sudo|i686-w64-mingw32-g\+\+-posix)' -exec ln -s -t "$work/bin" {} + 2>/dev/null || true
fail() { cat ../out; echo "FAIL: $1"; exit 1; }
PATH=$work/bin make installer >../out 2>&1 && fail "make installer succeeded without the compiler"
[ ! -e build ] && grep -q "i686-w64-mingw32-g++-posix is missing; on Debian: apt-get install g++-mingw-w64-i686" ../out ||
  fail "make installer did not stop before building and name g++-mingw-w64-i686"
ln -s "$(command -v i686-w64-mingw32-g++-posix)" "$work/bin"
PATH=$work/bin make installer >../out 2>&1 && [ -f build/QVSetup.exe ] && ! ls -d build/*/googletest 2>/dev/null ||
  fail "make installer failed, or built GoogleTest"
rm -rf "$work"
