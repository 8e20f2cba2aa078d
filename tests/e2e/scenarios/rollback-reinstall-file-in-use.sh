#!/usr/bin/env bash
# A second installation over a complete one fails while the archive's last
# file is held open without sharing (32); the rollback leaves the earlier
# installation exactly as it was, the user's results and both lists included,
# with no backup. With the file free, the reinstall gives the same folder.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
held="$install\\Beispiele\\index.htm"
release='C:\release-held-file'

# Every file and folder below the install folder, and each file's checksum.
snapshot() {
  (cd "$(unix_path "$install")" && find . -mindepth 1 -printf '%y %p\n' | sort &&
    find . -type f -exec sha256sum {} + | sort -k 2) >"$1"
}

step "seeding PSpice and one Octave, installing once"
seed_pspice
seed_octave 3.2.4 >/dev/null
install_with_defaults
seed_file "$install\\Beispiele\\Grundlagen\\spannungsteiler.out" $'the user\'s results\n'
snapshot "$QV_E2E_WORK/before.txt"

step "holding $held open without sharing"
(wine "$QV_DRIVE_EXE" hold "$held" "$release" </dev/null >"$QV_E2E_WORK/hold.out" 2>&1) &
holder=$!
for _ in $(seq 100); do grep -q held "$QV_E2E_WORK/hold.out" && break; sleep 0.1; done
grep -q held "$QV_E2E_WORK/hold.out" || fail "the file is not held: $(cat "$QV_E2E_WORK/hold.out")"

step "installing again until the extraction fails"
install_failing_with "Die Dateien konnten nicht kopiert werden"
touch "$(unix_path "$release")"
wait "$holder"
grep -qx $'Error = 32\r' "$(unix_path 'C:\vadodiz.log')" ||
  fail "the failure log does not report the sharing violation: $(tail -n 3 "$(unix_path 'C:\vadodiz.log')")"

# same_as_before WHAT: the install folder is as before the second run.
same_as_before() {
  snapshot "$QV_E2E_WORK/now.txt"
  diff -u "$QV_E2E_WORK/before.txt" "$QV_E2E_WORK/now.txt" >"$QV_E2E_WORK/diff.txt" ||
    fail "$1 differs from the first installation: $(cat "$QV_E2E_WORK/diff.txt")"
}

step "checking that the earlier installation is as it was"
same_as_before "the folder after the failed run"

step "installing again with the file free"
install_with_defaults
same_as_before "the reinstalled folder"
