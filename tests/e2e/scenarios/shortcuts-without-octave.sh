#!/usr/bin/env bash
# A full run without Octave (the user goes on without it): no Octave shortcut
# in the group or on the desktop, and "links" holds six lines. The group
# folder exists already from an earlier installation, which is fine.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'

step "seeding PSpice only, and an old program group"
seed_pspice
group="$E2E_USER_PROGRAMS\\DO-Dazuvazav"
seed_folder "$group"

step "installing without Octave"
install_with_defaults

step "checking the links log and the shortcuts"
desktop=$E2E_DESKTOP
assert_file_content "$install\\links" "F$group
>$group\\DO Dazuvazav.lnk
>$group\\QV PSpice.lnk
>$group\\Deinstallation.lnk
>$desktop\\DO Dazuvazav.lnk
>$desktop\\QV PSpice.lnk
"
assert_no_file "$group\\QV Octave.lnk"
assert_no_file "$desktop\\QV Octave.lnk"
assert_no_file "$desktop\\Deinstallation.lnk"
assert_link "$group\\Deinstallation.lnk" target "$install\\Bin\\roravoduruz.exe"
assert_link "$desktop\\QV PSpice.lnk" target "$E2E_PSPICE\\psched.exe"
