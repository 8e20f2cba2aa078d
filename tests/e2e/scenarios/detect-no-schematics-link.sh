#!/usr/bin/env bash
# With the PSpice key and program present but no usable Schematics shortcut in
# the Start menu, the installer refuses with the PSpice message and writes
# nothing. The near misses in the Start menu must not count: a PSpice Student
# group inside a vendor group, a renamed shortcut, a group "PSpice Student 9.1",
# and a Schematics shortcut that starts another program.
source "$(dirname "$0")/../lib.sh"

step "seeding PSpice without a usable Schematics shortcut"
seed_pspice_key
seed_pspice_program
seed_link "$E2E_COMMON_PROGRAMS\\OrCAD\\PSpice Student\\Schematics.lnk" "$E2E_PSPICE\\PSCHED.EXE"
seed_link "$E2E_COMMON_PROGRAMS\\PSpice Student\\Schematics (2).lnk" "$E2E_PSPICE\\PSCHED.EXE"
seed_link "$E2E_USER_PROGRAMS\\PSpice Student 9.1\\Schematics.lnk" "$E2E_PSPICE\\PSCHED.EXE"
seed_link "$E2E_USER_PROGRAMS\\PSpice Student\\Schematics.lnk" 'C:\windows\notepad.exe'
mark_time

step "running the installer"
start_installer
expect_dialog welcome
click welcome 116
answer_message "OrCAD PSpice Student 9.1 konnte nicht gefunden werden"
wait_end 20
assert_equal "$E2E_EXIT" 0 "the exit code"

step "checking that nothing was installed"
assert_no_folder 'C:\DO-Dazuvazav'
assert_no_reg_key 'HKCU\SOFTWARE\OrCAD\PSpice\QV'
assert_no_reg_key 'HKCR\VarAVUrivaza'
assert_nothing_written
