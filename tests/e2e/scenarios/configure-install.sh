#!/usr/bin/env bash
# After a complete run into a folder with a blank: qv.ini holds the install
# folder in place of its placeholders with LF line ends, pspice.prb is in the
# PSpice folder's Common folder with CR LF line ends, and the install key and
# the ".qv" file type hold the folders and commands.
source "$(dirname "$0")/../lib.sh"

install='C:\QV Ziel'
user='C:\QV Eigene\Simulationen'
package=$QV_ROOT/package

step "seeding PSpice and one Octave"
seed_pspice
seed_octave 3.2.4 >/dev/null
seed_reg 'HKCU\SOFTWARE\OrCAD\PSpice\QV' Other REG_SZ 'von früher'

step "installing into $install"
start_install_into "$install" "$user"
finish_install
assert_equal "$E2E_EXIT" 0 "the exit code"

step "checking qv.ini and pspice.prb"
# qv.ini: every line without CR, its first placeholder byte replaced, LF at the end.
expected=$QV_E2E_WORK/qv.ini.expected
INSTALL=$install perl -pe 's/\r?\n\z//; s/\xA7/$ENV{INSTALL}/; $_ .= "\n"' \
  "$package/Bin/qv.ini" >"$expected"
grep -q $'\xA7' "$package/Bin/qv.ini" || fail "the package's qv.ini has no placeholder"
assert_same_file "$install\\Bin\\qv.ini" "$expected"
# pspice.prb: text-mode copy up to a Ctrl-Z, every line end CR LF.
expected=$QV_E2E_WORK/pspice.prb.expected
perl -0777 -pe 's/\x1A.*//s; s/\r?\n/\r\n/g' "$package/Bin/pspice.prb" >"$expected"
assert_same_file "$E2E_PSPICE\\Common\\pspice.prb" "$expected"
assert_same_file "$install\\Bin\\pspice.prb" "$package/Bin/pspice.prb"

step "checking the registry"
key='HKCU\SOFTWARE\OrCAD\PSpice\QV'
assert_reg "$key" InstallationFolder "$install"
assert_reg "$key" UserFolder "$user"
assert_reg "$key" Other 'von früher'
assert_reg 'HKCR\.qv' '' VarAVUrivaza
assert_reg 'HKCR\VarAVUrivaza\shell\open\command' '' "\"$install\\Bin\\zurar.exe\" %1"
assert_reg 'HKCR\VarAVUrivaza\psched' '' \
  "\"$E2E_PSPICE\\psched.exe\" -i \"$install\\Bin\\qv.ini\""
