#!/usr/bin/env bash
# The happy path through every step of the run, on the installer signed as a
# release is: OK on the welcome dialog, the preset folders, the finish dialog;
# afterwards the "files" list begins with the install folder and its two
# lists, "qv.ini" names the install folder, the install key, the file type
# with the Schematics command, and the links log exist. (The exact unpacked
# tree: payload-exact-tree.)
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'

step "signing the installer with a throwaway certificate"
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=QV-Test -keyout "$QV_E2E_WORK/key.pem" \
  -out "$QV_E2E_WORK/cert.pem" 2>/dev/null || fail "cannot make a certificate"
SIGN_CERT=$QV_E2E_WORK/cert.pem SIGN_KEY=$QV_E2E_WORK/key.pem "$QV_ROOT/scripts/sign.sh" \
  "$QV_SETUP_EXE" "$QV_E2E_WORK/QVSetup.exe" || fail "cannot sign the installer"
QV_SETUP_EXE=$QV_E2E_WORK/QVSetup.exe

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
