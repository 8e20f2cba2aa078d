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

step "seeding PSpice and one Octave, installing once"
seed_pspice
seed_octave 3.2.4 >/dev/null
install_with_defaults
seed_file "$install\\Beispiele\\Grundlagen\\spannungsteiler.out" $'the user\'s results\n'
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
same_as_before "$install" "the reinstalled folder"
