#!/usr/bin/env bash
# A probe file that cannot be copied (a folder stands where PSpice's
# Common\pspice.prb belongs) gives the "(unkritisch)" message over the welcome
# dialog, whose progress field then shows "100 %" with its buttons hidden;
# the run goes on and ends with the finish dialog.
source "$(dirname "$0")/../lib.sh"

step "seeding PSpice with a blocked probe file"
seed_pspice
seed_octave 3.2.4 >/dev/null
seed_folder "$E2E_PSPICE\\Common\\pspice.prb"

step "installing"
start_installer
expect_dialog welcome
click welcome 116
expect_dialog folder
click folder 116
expect_dialog message
assert_text welcome 121 "100 %"
assert_equal "$(drive visible welcome 116)$(drive visible welcome 117)$(drive visible welcome 121)" \
  "001" "visibility of OK, Abbrechen and the progress field"
answer_message "Die prb-Datei konnte nicht angepasst werden (unkritisch)"
finish_install
assert_file 'C:\DO-Dazuvazav\Bin\qv.ini'
assert_file 'C:\DO-Dazuvazav\links'
