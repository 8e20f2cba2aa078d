#!/usr/bin/env bash
# The probe file opens but cannot be written (it lands on a full device): the
# copy is not reported as done. The run shows the minor-problem message and
# ends with the finish dialog.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
user='C:\QV Eigene'

step "seeding PSpice whose Common\\pspice.prb leads to a full device"
seed_pspice
ln -s /dev/full "$(unix_path "$E2E_PSPICE\\Common\\pspice.prb")" ||
  fail "cannot link pspice.prb to /dev/full"
seed_octave 3.2.4 >/dev/null

step "installing"
start_install_into "$install" "$user"
answer_message "Die prb-Datei konnte nicht angepasst werden (unkritisch)"
finish_install
assert_equal "$E2E_EXIT" 0 "the exit code"
assert_reg 'HKCR\.qv' '' VarAVUrivaza
