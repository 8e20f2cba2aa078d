#!/usr/bin/env bash
# Escape (and the IDCANCEL it produces) does nothing on the welcome and the
# finish dialog: both close only through their buttons.
source "$(dirname "$0")/../lib.sh"

seed_pspice

step "pressing Escape on the welcome dialog"
start_installer
expect_dialog welcome
press_escape welcome
click welcome 2
still_open welcome 1.5
assert_text welcome 121 ""

step "installing with the default answers"
click welcome 116
run_to_finish

step "pressing Escape on the finish dialog"
press_escape finish
click finish 2
still_open finish 1.5
click finish 116
wait_end
