#!/usr/bin/env bash
# The folder dialog ignores Escape and lets a sign-out end the session (nothing
# is changed yet); "Abbrechen" ends the run silently: the welcome dialog
# closes, no finish dialog, nothing unpacked or registered.
source "$(dirname "$0")/../lib.sh"

step "seeding PSpice and one Octave"
seed_pspice
seed_octave 3.2.4 >/dev/null
mark_time

step "Escape in the folder dialog does nothing, a sign-out may go ahead"
start_installer
expect_dialog welcome
click welcome 116
expect_dialog folder
press_escape folder
click folder 2
still_open folder 1.5
assert_equal "$(drive query-end welcome)" 1 "the welcome dialog's answer to WM_QUERYENDSESSION"

step "cancelling the folder dialog"
click folder 117
# A finish dialog would wait for its OK and keep the process running.
wait_end 20
assert_equal "$E2E_EXIT" 0 "the exit code"

step "checking that nothing was installed"
assert_no_folder 'C:\DO-Dazuvazav'
assert_no_reg_key 'HKCU\SOFTWARE\OrCAD\PSpice\QV'
assert_no_reg_key 'HKCR\.qv'
assert_nothing_written
