#!/usr/bin/env bash
# A full run with one Octave found: the program group "DO-Dazuvazav" in the
# user's Programs folder holds the four shortcuts, the desktop the same three
# without the uninstaller, each with its target, arguments, working folder,
# icon and description, and "links" lists the group and the shortcuts in the
# order they were made. The Octave icon comes from share\octave\<version>.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
octave='C:\Octave\Octave-4.0.0'

step "seeding PSpice and Octave 4.0.0 with its logo below share"
seed_pspice
seed_program "$octave\\octave.vbs"
seed_file "$octave\\share\\octave\\4.0.0\\imagelib\\octave-logo.ico" 'icon'
seed_link "$E2E_COMMON_PROGRAMS\\GNU Octave\\Octave.lnk" "$octave\\octave.vbs"
browser=$(drive reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\iexplore.exe' '') ||
  fail "the prefix has no browser key"

step "installing with the default answers"
install_with_defaults

step "checking the links log"
group="$E2E_USER_PROGRAMS\\DO-Dazuvazav"
desktop=$E2E_DESKTOP
assert_file_content "$install\\links" "F$group
>$group\\DO Dazuvazav.lnk
>$group\\QV PSpice.lnk
>$group\\Deinstallation.lnk
>$group\\QV Octave.lnk
>$desktop\\DO Dazuvazav.lnk
>$desktop\\QV PSpice.lnk
>$desktop\\QV Octave.lnk
"
assert_file_has_line "$install\\files" ">$install\\links"
assert_no_file "$desktop\\Deinstallation.lnk"
assert_no_folder "$E2E_COMMON_PROGRAMS\\DO-Dazuvazav"

step "checking the shortcuts' properties"
# The user folder as the run chose it, recorded in the install key.
user=$(drive reg 'HKCU\SOFTWARE\OrCAD\PSpice\QV' UserFolder) || fail "no UserFolder value"
[ -n "$user" ] || fail "the run recorded an empty user folder"
for folder in "$group" "$desktop"; do
  link="$folder\\DO Dazuvazav.lnk"
  assert_link "$link" target "$browser"
  assert_link "$link" arguments "$install\\Beispiele\\index.htm"
  assert_link "$link" workdir "$install\\Beispiele"
  assert_link "$link" icon "$install\\Bin\\qv.ico"
  assert_link "$link" iconindex 0
  assert_link "$link" description "DO Dazuvazav"

  link="$folder\\QV PSpice.lnk"
  assert_link "$link" target "$E2E_PSPICE\\psched.exe"
  assert_link "$link" arguments " -i \"$install\\Bin\\qv.ini\""
  assert_link "$link" workdir "$user"
  assert_link "$link" icon ""
  assert_link "$link" description "QV PSpice"

  link="$folder\\QV Octave.lnk"
  assert_link "$link" target "$octave\\octave.vbs"
  assert_link "$link" arguments "--force-gui --persist --silent _startup.m"
  assert_link "$link" workdir "$install\\Beispiele\\Octave"
  assert_link "$link" icon "$octave\\share\\octave\\4.0.0\\imagelib\\octave-logo.ico"
  assert_link "$link" iconindex 0
  assert_link "$link" description "QV Octave"
done
link="$group\\Deinstallation.lnk"
assert_link "$link" target "$install\\Bin\\roravoduruz.exe"
assert_link "$link" arguments ""
assert_link "$link" workdir "$install\\Bin"
assert_link "$link" icon ""
assert_link "$link" description "Deinstallation"
