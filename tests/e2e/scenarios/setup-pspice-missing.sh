#!/usr/bin/env bash
# Without the key HKCU\SOFTWARE\OrCAD\PSpice\9.11 the installer refuses,
# even with the Schematics shortcut present and the same key under HKLM:
# one message, then the process ends without the finish dialog and without
# having written anything.
source "$(dirname "$0")/../lib.sh"

step "seeding PSpice without its HKCU key"
seed_pspice_program
seed_pspice_link
seed_reg_key 'HKLM\SOFTWARE\OrCAD\PSpice\9.11'
mark_time

step "running the installer"
start_installer
expect_dialog welcome
click welcome 116
answer_message "OrCAD PSpice Student 9.1 konnte nicht gefunden werden"
wait_end 20

step "checking that nothing was installed"
assert_no_folder 'C:\DO-Dazuvazav'
assert_no_reg_key 'HKCU\SOFTWARE\OrCAD\PSpice\QV'
assert_no_reg_key 'HKCR\.qv'
assert_no_reg_key 'HKCR\VarAVUrivaza'
assert_nothing_written
