#!/usr/bin/env bash
# While a package of the shipped size is unpacked, the welcome dialog answers
# every message within 250 ms, and what a user might do to it meanwhile (Enter,
# Escape, Alt+F4, clicks, OK and "Abbrechen" sent as commands) changes nothing:
# no second run, the finish dialog, exactly the package installed.
source "$(dirname "$0")/../lib.sh"

QV_SETUP_EXE=$QV_SETUP_SHIPPED_EXE
install='C:\DO-Dazuvazav'

step "seeding PSpice and one Octave"
seed_pspice
seed_octave 3.2.4 >/dev/null

step "unpacking while messages, keys and clicks arrive"
start_installer
expect_dialog welcome
click welcome 116
expect_dialog folder
probe=$(drive probe-unpacking folder 116 "$install\\files") ||
  fail "the welcome dialog did not keep answering: $probe"
note "$probe"
finish_install
assert_equal "$E2E_EXIT" 0 "the installer's exit code"

step "comparing the install folder and the files list with the package"
assert_installed_package "$QV_SHIPPED_PACKAGE" "$install"
