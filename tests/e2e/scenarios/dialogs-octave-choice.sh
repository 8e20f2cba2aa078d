#!/usr/bin/env bash
# Two Octave programs (one in the all-users Start menu, found first, one in
# the user's): the choice dialog lists both in found order as
# "<file name> (<folder>)" with the first selected; choosing the second makes
# the "QV Octave" shortcut start it.
source "$(dirname "$0")/../lib.sh"

group="$E2E_USER_PROGRAMS\\DO-Dazuvazav"

step "seeding PSpice and two Octave versions"
seed_pspice
first=$(seed_octave 3.2.4 "$E2E_COMMON_PROGRAMS") || exit 1
second=$(seed_octave 3.6.4 "$E2E_USER_PROGRAMS" 'C:\Programme\Octave 3.6.4') || exit 1

step "choosing the second Octave"
start_installer
expect_dialog welcome
click welcome 116
expect_dialog octave-choice
assert_equal "$(drive caption octave-choice)" "Octave-Programm auswählen" "the caption"
listed=$(drive combo octave-choice 123) || fail "cannot read the list"
assert_equal "$listed" "octave-3.2.4.exe (${first%\\*})
octave-3.6.4.exe (${second%\\*})" "the list"
assert_equal "$(drive selected octave-choice 123)" 0 "the selection at start"
press_escape octave-choice
still_open octave-choice 1.5
select_item octave-choice 123 1
click octave-choice 116
expect_dialog folder
click folder 116
finish_install
assert_equal "$E2E_EXIT" 0 "the exit code"

step "checking the Octave shortcut"
assert_link "$group\\QV Octave.lnk" target "$second"
assert_link "$E2E_DESKTOP\\QV Octave.lnk" target "$second"
assert_file_has_line 'C:\DO-Dazuvazav\links' ">$group\\QV Octave.lnk"
