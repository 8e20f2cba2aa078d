#!/usr/bin/env bash
# Screenshots of the folder dialog and both Octave dialogs, and of the
# welcome, folder and finish dialogs at 144 DPI, for a look at their layout
# and umlauts: runs the installer in Wine's virtual desktop (which draws the
# captions) under Xvfb, in three seeded prefixes, and saves
# build/demo/dialogs-*.png. Part of the `make run` walk-through; also usable
# alone after `make`.
source "$(dirname "$0")/../tests/e2e/lib.sh"

shots=$QV_ROOT/build/demo
mkdir -p "$shots"

# shot NAME: the whole virtual desktop as build/demo/dialogs-NAME.png.
shot() {
  sleep 0.5
  import -window root "$shots/dialogs-$1.png" || fail "cannot take the screenshot $1"
  note "saved $shots/dialogs-$1.png"
}

# A new prefix copied from the booted base, its server running, with PSpice.
fresh_prefix() {
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
  "$QV_ROOT/scripts/wine-prefix.sh" "$WINEPREFIX" "$QV_WINE_BASE" || fail "no prefix"
  wineserver -p </dev/null >/dev/null 2>&1
  seed_pspice
}

# Starts the installer in the prefix's default desktop made a virtual one (so
# the driver sees the same windows), saves the welcome dialog as shot NAME
# when one is given, and presses OK on it.
start_in_desktop() {
  seed_reg 'HKCU\Software\Wine\Explorer' Desktop REG_SZ Default
  seed_reg 'HKCU\Software\Wine\Explorer\Desktops' Default REG_SZ 1024x768
  start_installer
  expect_dialog welcome
  [ -z "${1:-}" ] || shot "$1"
  click welcome 116
}

step "the Octave choice dialog and the folder dialog"
seed_pspice
seed_octave 3.2.4 "$E2E_COMMON_PROGRAMS" >/dev/null || exit 1
seed_octave 3.6.4 "$E2E_USER_PROGRAMS" 'C:\Programme\Octave 3.6.4' >/dev/null || exit 1
start_in_desktop
expect_dialog octave-choice
shot octave-choice
click octave-choice 116
expect_dialog folder
shot folder
set_text folder 112 'relativ'
click folder 116
expect_dialog message
shot folder-invalid
click message 1
drive gone message 10000 >/dev/null || fail "the message box did not close"
click folder 117
wait_end 20

step "the Octave missing dialog"
fresh_prefix
start_in_desktop
expect_dialog octave-missing
shot octave-missing
click octave-missing 116
wait_end 20

step "the welcome, folder and finish dialogs at 144 DPI (150 %)"
fresh_prefix
seed_octave 3.2.4 >/dev/null || exit 1
seed_reg 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD 144
wineserver -k >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1
start_in_desktop 144dpi-welcome
expect_dialog folder
shot 144dpi-folder
click folder 116
expect_dialog finish 60000
shot 144dpi-finish
click finish 116
wait_end 20
