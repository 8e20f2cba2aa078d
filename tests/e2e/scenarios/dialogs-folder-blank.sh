#!/usr/bin/env bash
# The folder dialog: its preset folders, an install folder one character
# longer than the package allows (refused, nothing created), a rejected
# relative user folder ("Ungültiger Ordner", then the dialog stays open), and
# a custom install folder with blanks as long as the package allows, created
# with its parents, used for the whole run: files, "files" list, install key
# and shortcuts.
source "$(dirname "$0")/../lib.sh"

# The longest install folder that the demo package allows, as the packer says.
longest=$("$QV_QVPACK" pack "$QV_ROOT/package" "$QV_E2E_WORK/demo.qva" |
  sed -n 's/.* up to \([0-9]*\) characters$/\1/p')
install='C:\Mein Ziel\QV Beispiele '
install=$install$(printf "%$((longest - ${#install}))s" | tr ' ' x)
user='C:\Eigene Simulationen'

step "seeding PSpice and one Octave"
seed_pspice
seed_octave 3.2.4 >/dev/null

step "checking the preset folders"
start_installer
expect_dialog welcome
click welcome 116
expect_dialog folder
assert_text folder 112 'C:\DO-Dazuvazav'
assert_text folder 113 "$E2E_DOCUMENTS\\PSpice"

step "an install folder one character too long is refused"
set_text folder 112 "${install}x"
click folder 116
answer_message "Der Ordnername ist zu lang. Wählen Sie einen Ordner mit höchstens $longest Zeichen."
assert_no_folder 'C:\Mein Ziel'

step "a relative user folder is rejected"
set_text folder 112 "$install"
set_text folder 113 'Simulationen'
click folder 116
answer_message "Ungültiger Ordner"
assert_folder "$install"
drive wait folder 1000 >/dev/null || fail "the folder dialog closed after the rejection"

step "installing into the folder with blanks"
set_text folder 113 "$user"
click folder 116
drive gone folder 10000 >/dev/null || fail "the folder dialog did not close"
finish_install
assert_equal "$E2E_EXIT" 0 "the exit code"

step "checking that the run used both folders"
assert_folder "$user"
assert_no_folder 'C:\DO-Dazuvazav'
assert_file_has_line "$install\\files" "F$install"
assert_file_has_line "$install\\files" ">$install\\Bin\\qv.ini"
assert_file "$install\\Bin\\qv.ini"
assert_reg 'HKCU\SOFTWARE\OrCAD\PSpice\QV' InstallationFolder "$install"
assert_reg 'HKCU\SOFTWARE\OrCAD\PSpice\QV' UserFolder "$user"
group="$E2E_USER_PROGRAMS\\DO-Dazuvazav"
assert_link "$group\\QV PSpice.lnk" arguments " -i \"$install\\Bin\\qv.ini\""
assert_link "$group\\QV PSpice.lnk" workdir "$user"
assert_file_has_line "$install\\links" ">$group\\QV PSpice.lnk"
