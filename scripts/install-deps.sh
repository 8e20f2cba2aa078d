#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, only when
# something is missing. Quick and silent when everything is there.
# A mirror that is briefly out of step (an index that does not match its
# release file) must not stop the build: the update is retried and then left
# with the lists there are, and an install that cannot pair the packages of
# every suite is tried once more with the release's own suite.
set -euo pipefail

packages=(make cmake g++ clang git g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
          xvfb xauth googletest imagemagick python3 x11-apps osslsigncode openssl
          softhsm2 opensc libengine-pkcs11-openssl)
update_tries=${QV_APT_UPDATE_TRIES:-3}
retry_pause=${QV_APT_RETRY_PAUSE:-5}

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

# apt-get update exits 100 when any index failed, even if the rest arrived.
updated=""
for ((try = 1; try <= update_tries; try++)); do
  if $sudo apt-get update -q >/dev/null 2>&1; then
    updated=yes
    break
  fi
  [ "$try" -lt "$update_tries" ] && sleep "$retry_pause"
done
[ -n "$updated" ] ||
  echo "install-deps: apt-get update failed $update_tries times; going on with the package lists there are"

install() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "$@" "${missing[@]}"
}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
install >"$log" 2>&1 && exit 0
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
if [ -n "$codename" ]; then
  echo "install-deps: apt-get install failed; trying again with the release's own suite ($codename)"
  install -t "$codename" >"$log" 2>&1 && exit 0
fi
cat "$log" >&2
echo "install-deps: the packages could not be installed" >&2
exit 1
