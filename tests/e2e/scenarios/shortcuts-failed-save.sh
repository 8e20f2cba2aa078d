#!/usr/bin/env bash
# The Schematics shortcut of the group cannot be saved (a folder stands where
# its file should be): the installation still ends with the finish dialog, the
# rest of the group and every desktop shortcut are skipped, and "links" is
# written with the lines recorded up to the failure.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'

step "seeding PSpice, Octave and a folder in place of QV PSpice.lnk"
seed_pspice
seed_octave 3.2.4 >/dev/null
group="$E2E_USER_PROGRAMS\\DO-Dazuvazav"
seed_folder "$group\\QV PSpice.lnk"

step "installing"
install_with_defaults

step "checking what was made"
assert_file_content "$install\\links" "F$group
>$group\\DO Dazuvazav.lnk
>$group\\QV PSpice.lnk
"
assert_file "$group\\DO Dazuvazav.lnk"
assert_no_file "$group\\Deinstallation.lnk"
assert_no_file "$group\\QV Octave.lnk"
for name in 'DO Dazuvazav' 'QV PSpice' 'QV Octave'; do
  assert_no_file "$E2E_DESKTOP\\$name.lnk"
done
