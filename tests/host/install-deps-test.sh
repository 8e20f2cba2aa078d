#!/usr/bin/env bash
# scripts/install-deps.sh against stand-in apt-get, dpkg, dpkg-query and sudo:
# with every package missing and apt-get update always failing, an install
# that only works with the release's own suite ends in success; when every
# install fails, the script fails and shows apt's output.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
cat >"$bin/apt-get" <<'EOF'
#!/bin/sh
echo "$*" >>"$APT_LOG"
case "$* $SUITE_WORKS" in
  update*) echo "E: File has unexpected size. Mirror sync in progress?" >&2; exit 100 ;;
  *" -t "*" yes") exit 0 ;;
  *) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
esac
EOF
printf '#!/bin/sh\nexit 1\n' >"$bin/dpkg-query"
printf '#!/bin/sh\necho i386\n' >"$bin/dpkg"
printf '#!/bin/sh\nexec "$@"\n' >"$bin/sudo"
chmod +x "$bin"/*
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
export PATH=$bin:$PATH QV_APT_RETRY_PAUSE=0 APT_LOG=$bin/apt.log

SUITE_WORKS=yes "$root/scripts/install-deps.sh" >"$bin/out" 2>&1 ||
  { cat "$bin/out"; echo "FAIL: the install with -t $codename did not end in success"; exit 1; }
[ "$(grep -c '^update' "$APT_LOG")" -eq 3 ] && grep -q "^install .* -t $codename " "$APT_LOG" ||
  { cat "$APT_LOG"; echo "FAIL: not 3 updates and an install with -t $codename"; exit 1; }

if SUITE_WORKS=no "$root/scripts/install-deps.sh" >"$bin/out" 2>&1; then
  echo "FAIL: install-deps.sh succeeded although every install failed"; exit 1
fi
grep -q "held broken packages" "$bin/out" ||
  { cat "$bin/out"; echo "FAIL: apt's output is not shown"; exit 1; }
echo "install-deps.sh: success after the -t $codename install, failure with apt's output"
