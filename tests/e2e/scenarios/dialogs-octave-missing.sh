#!/usr/bin/env bash
# Without Octave the installer asks: the abort option is marked, so OK at
# once ends the run silently (nothing unpacked, no finish dialog). Escape
# does nothing. A second run that chooses to go on installs without an
# Octave shortcut.
source "$(dirname "$0")/../lib.sh"

group="$E2E_USER_PROGRAMS\\DO-Dazuvazav"

step "seeding PSpice without Octave"
seed_pspice
mark_time

step "OK at once aborts"
start_installer
expect_dialog welcome
click welcome 116
expect_dialog octave-missing
assert_equal "$(drive checked octave-missing 108)" 1 "option 108 marked"
assert_equal "$(drive checked octave-missing 109)" 0 "option 109 marked"
assert_text octave-missing 109 "Installation ohne Verknüpfung der Beispiele mit GNU Octave fortsetzen"
press_escape octave-missing
click octave-missing 2
still_open octave-missing 1.5
click octave-missing 116
# A message box or the finish dialog would keep the process running.
wait_end 20
assert_no_folder 'C:\DO-Dazuvazav'
assert_no_reg_key 'HKCU\SOFTWARE\OrCAD\PSpice\QV'
assert_nothing_written

step "going on without Octave"
start_installer
expect_dialog welcome
click welcome 116
expect_dialog octave-missing
check_radio octave-missing 109
assert_equal "$(drive checked octave-missing 108)" 0 "option 108 marked after choosing 109"
click octave-missing 116
expect_dialog folder
click folder 116
finish_install
assert_equal "$E2E_EXIT" 0 "the exit code"

step "checking the run without Octave"
assert_file 'C:\DO-Dazuvazav\files'
assert_file "$group\\QV PSpice.lnk"
assert_no_file "$group\\QV Octave.lnk"
assert_no_file "$E2E_DESKTOP\\QV Octave.lnk"
grep -q 'QV Octave' "$(unix_path 'C:\DO-Dazuvazav\links')" && fail "the links log lists an Octave shortcut"
true
