#!/usr/bin/env bash
# "Abbrechen" on the welcome dialog ends the installer at once: no finish
# dialog, no file written, no registry key created.
source "$(dirname "$0")/../lib.sh"

step "seeding PSpice"
seed_pspice
mark_time

step "cancelling the welcome dialog"
start_installer
expect_dialog welcome
assert_text welcome 121 ""
[ "$(drive visible welcome 121)" = 0 ] || fail "the progress field is visible before OK"
click welcome 117
wait_end 20

step "checking that nothing was installed"
assert_no_folder 'C:\DO-Dazuvazav'
assert_no_reg_key 'HKCU\SOFTWARE\OrCAD\PSpice\QV'
assert_no_reg_key 'HKCR\.qv'
assert_nothing_written
