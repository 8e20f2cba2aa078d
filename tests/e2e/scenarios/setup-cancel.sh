#!/usr/bin/env bash
# A second copy started beside the welcome dialog ends without a dialog of
# its own. "Abbrechen" on the welcome dialog ends the installer at once: no
# finish dialog, no file written, no registry key created. A copy started
# while one without a window here (another session) runs says so and ends.
source "$(dirname "$0")/../lib.sh"

step "seeding PSpice"
seed_pspice
mark_time

step "cancelling the welcome dialog"
start_installer
expect_dialog welcome
assert_text welcome 121 ""
[ "$(drive visible welcome 121)" = 0 ] || fail "the progress field is visible before OK"
(cd "$(dirname "$(unix_path "$E2E_SETUP_WIN")")" && timeout 20 wine "$E2E_SETUP_WIN" </dev/null >/dev/null 2>&1) ||
  fail "a second copy did not end by itself"
[ "$(drive list | grep -c '^welcome')" = 1 ] || fail "two welcome dialogs: $(drive list)"
click welcome 117
wait_end 20

step "checking that nothing was installed"
assert_no_folder 'C:\DO-Dazuvazav'
assert_no_reg_key 'HKCU\SOFTWARE\OrCAD\PSpice\QV'
assert_no_reg_key 'HKCR\.qv'
assert_nothing_written

step "starting a copy while one runs in another session"
hold_mutex 'Global\QVSetup'
start_installer
expect_dialog message
assert_equal "$(drive caption message)" "QV Setup" "the message's caption"
answer_message "QV Setup läuft bereits in einer anderen Sitzung dieses Computers."
wait_end 20
assert_nothing_written
let_go
