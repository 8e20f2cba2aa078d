#!/usr/bin/env bash
# make run: the installer with the demo package in a demo prefix
# (build/wine/demo) that has PSpice Student 9.1 and two Octave versions.
# With a DISPLAY the user clicks through it. Without one it runs under Xvfb,
# answers every dialog with its default, saves a screenshot of each dialog
# to build/demo/NN-<dialog>.png and prints what was installed.
# Wine's virtual desktop draws the dialogs' captions.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  export QV_DEMO_AUTO=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
export QV_E2E_WORK=$root/build/wine/demo QV_E2E_KEEP=1
cd "$root"
source tests/e2e/lib.sh
trap 'wineserver -k >/dev/null 2>&1' EXIT

seed_pspice
seed_octave 3.2.4 >/dev/null
seed_octave 4.0.0 "$E2E_USER_PROGRAMS" >/dev/null
# Every window of the prefix on one virtual desktop; restart Wine to use it.
seed_reg 'HKCU\Software\Wine\Explorer' Desktop REG_SZ Default
seed_reg 'HKCU\Software\Wine\Explorer\Desktops' Default REG_SZ 800x600
wineserver -k >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1

start_installer
if [ -z "${QV_DEMO_AUTO:-}" ]; then
  note "click through the installer; the demo prefix is $WINEPREFIX"
  while installer_running; do sleep 1; done
else
  shots=$root/build/demo
  rm -rf "$shots" && mkdir -p "$shots"
  shot=0
  # screenshot NAME: the virtual desktop as build/demo/NN-NAME.png
  screenshot() {
    shot=$((shot + 1))
    sleep 0.7
    import -display "$DISPLAY" -window root -crop 800x600+0+0 "$(printf '%s/%02d-%s.png' "$shots" $shot "$1")"
  }
  expect_dialog welcome
  screenshot welcome
  click welcome 116
  # Each dialog of the run: its screenshot, then its default answer.
  for _ in 1 2 3 4 5 6 7 8; do
    kind=$(wait_dialog message,octave-missing,octave-choice,folder,finish,other 60000) || exit 1
    screenshot "$kind"
    case "$kind" in
      finish) click finish 116; break ;;
      message) click message 1 ;;
      octave-missing) click octave-missing 116 ;;
      *) click "$kind" 116 ;;
    esac
    drive gone "$kind" 10000 >/dev/null
  done
  wait_end 30
  note "screenshots: $(ls "$shots" | tr '\n' ' ')"
fi

install=$(unix_path 'C:\DO-Dazuvazav')
echo "== installed into C:\\DO-Dazuvazav: $(grep -c '^>' "$install/files" 2>/dev/null || echo 0) files"
sed 's/^/  /' "$install/files" 2>/dev/null | head -n 40
echo "== links"
sed 's/^/  /' "$install/links" 2>/dev/null
echo "== registry"
wine_quiet reg query 'HKCU\SOFTWARE\OrCAD\PSpice\QV' 2>/dev/null | tr -d '\r' | sed '/^$/d;s/^/  /'
wine_quiet reg query 'HKCR\.qv' /s 2>/dev/null | tr -d '\r' | sed '/^$/d;s/^/  /'

# The dialogs that the default walk-through does not meet (the Octave-missing
# dialog, the "Ungültiger Ordner" message), each in a prefix of its own.
if [ -n "${QV_DEMO_AUTO:-}" ]; then
  env -u QV_E2E_WORK -u QV_E2E_KEEP bash "$root/scripts/demo-dialogs.sh"
fi
