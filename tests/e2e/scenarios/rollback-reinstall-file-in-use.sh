#!/usr/bin/env bash
# A second installation over a complete one, while the archive's last file is
# held open without sharing, asks to close the program that holds it.
# Abbrechen fails the run with 32, and the rollback leaves the earlier
# installation exactly as it was, the user's results and both lists included,
# with no backup. Wiederholen once the file is free completes the run and
# gives the same folder.
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

# hold: $held open without sharing, until let_go.
hold() {
  rm -f "$(unix_path "$release")" "$QV_E2E_WORK/hold.out"
  (wine "$QV_DRIVE_EXE" hold "$held" "$release" </dev/null >"$QV_E2E_WORK/hold.out" 2>&1) &
  holder=$!
  for _ in $(seq 100); do grep -q held "$QV_E2E_WORK/hold.out" && break; sleep 0.1; done
  grep -q held "$QV_E2E_WORK/hold.out" || fail "the file is not held: $(cat "$QV_E2E_WORK/hold.out")"
}
let_go() { touch "$(unix_path "$release")" && wait "$holder"; }

# install_to_prompt: a run with the preset folders stops at the prompt for $held.
install_to_prompt() {
  start_installer
  expect_dialog welcome
  click welcome 116
  expect_dialog folder
  click folder 116
  expect_dialog message 60000
  assert_equal "$(drive caption message)" "QV Setup" "the prompt's caption"
  assert_equal "$(drive msgtext)" $'Die Datei\r\n'"$held"$'\r\nwird von einem anderen Programm verwendet. Schließen Sie das Programm und klicken Sie dann auf Wiederholen.' "the prompt's text"
  drive text message "$IDRETRY" >/dev/null && drive text message "$IDCANCEL" >/dev/null ||
    fail "the prompt has no Retry and Cancel buttons"
}
IDRETRY=4 IDCANCEL=2

step "installing again with $held held: Abbrechen at the prompt"
hold
install_to_prompt
click message "$IDCANCEL"
failed="Die Dateien konnten nicht kopiert werden"
# The failure's message may follow the prompt at once: wait for its text.
for _ in $(seq 50); do [ "$(drive msgtext 2>/dev/null)" = "$failed" ] && break; sleep 0.1; done
answer_message "$failed"
wait_end
let_go
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

step "installing again with $held held until the prompt, then Wiederholen"
hold
install_to_prompt
let_go
click message "$IDRETRY"
drive gone message 10000 >/dev/null || fail "the prompt did not close"
run_to_finish
click finish 116
wait_end
same_as_before "the reinstalled folder"
