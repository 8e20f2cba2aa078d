#!/usr/bin/env bash
# The happy path through every step of the run: OK on the welcome dialog, the
# preset folders, the finish dialog; afterwards the "files" list begins with
# the install folder and its two lists, "qv.ini" names the install folder,
# the install key, the file type with the Schematics command, and the links
# log exist. (The exact unpacked tree: payload-exact-tree.)
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'

step "seeding PSpice and one Octave"
seed_pspice
seed_octave 3.2.4 >/dev/null

step "installing with the default answers"
install_with_defaults

step "checking the result of every step"
assert_equal "$(head -n 3 "$(unix_path "$install\\files")" | tr '\n' '|')" \
  "F$install|>$install\\files|>$install\\links|" "the first lines of the files list"
assert_file_has_line "$install\\Bin\\qv.ini" "Paket=$install"
assert_reg_key 'HKCU\SOFTWARE\OrCAD\PSpice\QV'
assert_reg 'HKCR\.qv' '' 'VarAVUrivaza'
assert_file "$install\\links"
assert_reg 'HKCR\VarAVUrivaza\psched' '' "\"$E2E_PSPICE\\psched.exe\" -i \"$install\\Bin\\qv.ini\""
