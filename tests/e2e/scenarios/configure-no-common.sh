#!/usr/bin/env bash
# A PSpice folder without "Common": the probe file cannot be copied, the run
# says so as a minor problem and still ends with the finish dialog, with
# qv.ini rewritten and the registry written. "Common" is not created.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
user='C:\QV Eigene'

step "seeding PSpice without its Common folder"
seed_pspice
rmdir "$(unix_path "$E2E_PSPICE\\Common")" || fail "cannot remove the Common folder"
seed_octave 3.2.4 >/dev/null

step "installing"
start_install_into "$install" "$user"
answer_message "Die prb-Datei konnte nicht angepasst werden (unkritisch)"
finish_install
assert_equal "$E2E_EXIT" 0 "the exit code"

step "checking that the run went on"
assert_no_folder "$E2E_PSPICE\\Common"
assert_file "$install\\Bin\\qv.ini"
grep -q $'\xA7' "$(unix_path "$install\\Bin\\qv.ini")" && fail "qv.ini still holds a placeholder"
assert_reg 'HKCU\SOFTWARE\OrCAD\PSpice\QV' InstallationFolder "$install"
assert_reg 'HKCR\.qv' '' VarAVUrivaza
