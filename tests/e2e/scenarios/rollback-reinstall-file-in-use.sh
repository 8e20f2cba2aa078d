#!/usr/bin/env bash
# A second installation over a complete, unchanged one, with the archive's
# last file open in a reader, completes without a prompt and leaves that file
# as it was. Held open without sharing, the file asks to close the program
# that holds it; a changed package file and the "files" list are read-only
# meanwhile. Abbrechen fails the run with 32, and the rollback leaves the
# earlier installation exactly as it was, the user's results, both lists and
# the read-only attribute included, with no backup. Wiederholen once the file
# is free completes the run and gives the installed folder, with no backup.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
held="$install\\Beispiele\\index.htm"

step "seeding PSpice and one Octave, installing once"
seed_pspice
seed_octave 3.2.4 >/dev/null
install_with_defaults
seed_file "$install\\Beispiele\\Grundlagen\\spannungsteiler.out" $'the user\'s results\n'
snapshot "$install" "$QV_E2E_WORK/before.txt"
cp "$QV_E2E_WORK/before.txt" "$QV_E2E_WORK/installed.txt"

step "installing again over the unchanged installation with $held open in a reader"
inode=$(stat -c %i "$(unix_path "$held")")
hold_for_reading "$held"
install_with_defaults
let_go
assert_equal "$(stat -c %i "$(unix_path "$held")")" "$inode" "the held file's inode (it was not replaced)"
same_as_before "$install" "the repaired folder"

step "changing a package file, making it and the files list read-only"
changed="$install\\Beispiele\\Grundlagen\\spannungsteiler.sch"
seed_file "$changed" 'changed by the user'
chmod 444 "$(unix_path "$changed")" "$(unix_path "$install\\files")"
snapshot "$install" "$QV_E2E_WORK/before.txt"

step "installing again with $held held: Abbrechen at the prompt"
hold_file "$held"
install_to_prompt "$held"
cancel_at_prompt
let_go
grep -qx $'Error = 32\r' "$(unix_path 'C:\vadodiz.log')" ||
  fail "the failure log does not report the sharing violation: $(tail -n 3 "$(unix_path 'C:\vadodiz.log')")"

step "checking that the earlier installation is as it was"
same_as_before "$install" "the folder after the failed run"

step "installing again with $held held until the prompt, then Wiederholen"
hold_file "$held"
install_to_prompt "$held"
let_go
click message 4
drive gone message 10000 >/dev/null || fail "the prompt did not close"
run_to_finish
click finish 116
wait_end
cp "$QV_E2E_WORK/installed.txt" "$QV_E2E_WORK/before.txt"
same_as_before "$install" "the reinstalled folder"
