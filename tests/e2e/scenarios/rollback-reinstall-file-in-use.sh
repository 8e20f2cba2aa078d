#!/usr/bin/env bash
# A second installation into the folder of a complete one, while the last
# file of the archive is open in another program that shares nothing: the run
# fails with the sharing violation (32), and the rollback leaves the earlier
# installation exactly as it was, the user's simulation results and both lists
# included, with no backup left over. Once the file is free again, the same
# installation succeeds, gives the same folder and also leaves no backup.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
held="$install\\Beispiele\\index.htm"
release='C:\release-held-file'

# Every file and folder below the install folder with the checksum of each file.
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

step "checking that the earlier installation is as it was"
snapshot "$QV_E2E_WORK/after.txt"
diff -u "$QV_E2E_WORK/before.txt" "$QV_E2E_WORK/after.txt" >"$QV_E2E_WORK/diff.txt" ||
  fail "the install folder changed:
$(cat "$QV_E2E_WORK/diff.txt")"

step "installing again with the file free"
install_with_defaults
snapshot "$QV_E2E_WORK/again.txt"
diff -u "$QV_E2E_WORK/before.txt" "$QV_E2E_WORK/again.txt" >"$QV_E2E_WORK/diff.txt" ||
  fail "the reinstalled folder differs from the first installation:
$(cat "$QV_E2E_WORK/diff.txt")"
