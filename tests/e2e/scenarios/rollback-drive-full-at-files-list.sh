#!/usr/bin/env bash
# Every file of the package fits on the drive, but the "files" list does not:
# the extraction fails with the disk-full code and the rollback leaves the
# drive empty, the cut list included.
source "$(dirname "$0")/../lib.sh"

step "seeding PSpice, one Octave and a drive D: with room for the package alone"
seed_pspice
seed_octave 3.2.4 >/dev/null
# Pages the unpacked package takes: its files, and one for every schematic's
# companion file.
page=$(getconf PAGESIZE)
pages=$(find "$QV_ROOT/package" -type f -printf '%s %f\n' | awk -v page="$page" '
  { pages += int(($1 + page - 1) / page) }
  tolower($2) ~ /\.sch$/ { pages += 1 }
  END { print pages }')
seed_small_drive $((pages * page))

step "installing into D: until the files list fills the drive"
install_failing_with "Die Dateien konnten nicht kopiert werden" 'D:\QV' 'C:\QV Eigene'

step "checking the failure log and the drive"
assert_file_has_line 'C:\vadodiz.log' $'Error = 112\r'
assert_equal "$(cd "$E2E_DRIVE" && find . -mindepth 1)" "" "what is left on drive D:"
