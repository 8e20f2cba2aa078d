#!/usr/bin/env bash
# The "files" list cannot be written (a folder of that name stands in the
# install folder): the whole package was unpacked, and the rollback deletes
# all of it again, companions included; c:\vadodiz.log lists every unpacked
# file and reports access denied.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
package=$QV_ROOT/package

step "seeding PSpice, one Octave and a folder in the place of the files list"
seed_pspice
seed_octave 3.2.4 >/dev/null
seed_folder "$install\\files"

step "installing until the files list fails"
install_failing_with "Die Dateien konnten nicht kopiert werden"

step "checking the failure log and the rollback"
log='C:\vadodiz.log'
assert_file_has_line "$log" $'Error = 5\r'
while IFS= read -r relative; do
  win="$install\\${relative//\//\\}"
  assert_file_has_line "$log" ">$win"
  assert_no_file "$win"
done < <(cd "$package" && find . -type f | sed 's|^\./||' | sort)
left=$(cd "$(unix_path "$install")" && find . -mindepth 1 | sort)
assert_equal "$left" "./files" "what is left in the install folder"
