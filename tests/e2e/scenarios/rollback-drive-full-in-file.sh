#!/usr/bin/env bash
# The drive fills up in the middle of a large file: the extraction fails with
# the system's disk-full code, no later step runs, and the rollback leaves the
# drive empty, the partly written file included.
source "$(dirname "$0")/../lib.sh"

QV_SETUP_EXE=$QV_SETUP_LARGE_EXE
large='D:\QV\Doc\handbuch.txt'

step "seeding PSpice, one Octave and a drive D: of 256 KB"
seed_pspice
seed_octave 3.2.4 >/dev/null
seed_small_drive $((256 * 1024))

step "installing into D: until the drive is full"
install_failing_with "Die Dateien konnten nicht kopiert werden" 'D:\QV' 'C:\QV Eigene'

step "checking the failure log, the drive and the registry"
log='C:\vadodiz.log'
assert_file_has_line "$log" $'Error = 112\r'
last=$(grep -a '^>' "$(unix_path "$log")" | tail -n 1)
assert_equal "$last" ">$large" "the last file the failure log lists"
assert_equal "$(cd "$E2E_DRIVE" && find . -mindepth 1)" "" "what is left on drive D:"
assert_no_reg_key 'HKCU\SOFTWARE\OrCAD\PSpice\QV'
