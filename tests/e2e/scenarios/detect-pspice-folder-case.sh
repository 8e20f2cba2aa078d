#!/usr/bin/env bash
# The PSpice folder comes from the Schematics shortcut's target, in the letter
# case in which the shortcut gives it, not from the registry or the disk: the
# program lies in C:\Programme\OrCAD_Demo\PSpice, the shortcut (in the user's
# Programs root, after a skipped one in the all-users root) names it
# C:\PROGRAMME\orcad_demo\PSpice\Psched.EXE. The Schematics command, the
# PSpice shortcut and the probe file all use that folder.
source "$(dirname "$0")/../lib.sh"

odd='C:\PROGRAMME\orcad_demo\PSpice'

step "seeding PSpice with a shortcut in another letter case"
seed_pspice_key
seed_pspice_program
seed_link "$E2E_COMMON_PROGRAMS\\PSpice Student\\Schematics.lnk" 'C:\windows\notepad.exe'
seed_link "$E2E_USER_PROGRAMS\\PSpice Student\\Schematics.lnk" "$odd\\Psched.EXE"

step "installing with the default answers"
install_with_defaults

step "checking where the PSpice folder was used"
assert_reg 'HKCR\VarAVUrivaza\psched' '' "\"$odd\\psched.exe\" -i \"C:\\DO-Dazuvazav\\Bin\\qv.ini\""
assert_link "$E2E_USER_PROGRAMS\\DO-Dazuvazav\\QV PSpice.lnk" target "$odd\\psched.exe"
assert_link "$E2E_DESKTOP\\QV PSpice.lnk" target "$odd\\psched.exe"
assert_file "$E2E_PSPICE\\Common\\pspice.prb"
