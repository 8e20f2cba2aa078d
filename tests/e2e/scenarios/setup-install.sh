#!/usr/bin/env bash
# The happy path: OK on the welcome dialog, the preset folders, the payload
# unpacked into C:\DO-Dazuvazav exactly as packed, a companion beside every
# schematic, the "files" list, and the finish dialog at the end.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
package=$QV_ROOT/package

step "seeding PSpice and one Octave"
seed_pspice
seed_octave 3.2.4 >/dev/null

step "installing with the default answers"
start_installer
expect_dialog welcome
click welcome 116
run_to_finish
assert_text finish 116 "OK"
click finish 116
wait_end
assert_equal "$E2E_EXIT" 0 "the exit code"

step "checking the unpacked package"
files="$install\\files"
assert_file_has_line "$files" "F$install"
assert_file_has_line "$files" ">$install\\files"
assert_file_has_line "$files" ">$install\\links"
while IFS= read -r relative; do
  win="$install\\${relative//\//\\}"
  assert_file_has_line "$files" ">$win"
  # qv.ini gets the install folder written into it after the unpacking.
  [ "$relative" = Bin/qv.ini ] && continue
  assert_same_file "$win" "$package/$relative"
done < <(cd "$package" && find . -type f | sed 's|^\./||' | sort)
for schematic in 'Grundlagen\RC-Tiefpass.SCH' 'Verstaerker\Emitterschaltung.sch'; do
  assert_file_content "$install\\Beispiele\\${schematic%.*}.qv" "$install\\Beispiele\\$schematic"$'\n'
done
