#!/usr/bin/env bash
# A reinstall of a package with other bytes, ended from outside while it asks
# for a held file late in the archive, loses nothing: the next run, with the
# file still held and cancelled at its prompt, leaves the install folder
# exactly as before the cut-off run, the user's changed schematic and result
# included (a run before it that finds a backup's place taken by a folder
# says so and keeps the journal); the run after it, with the file free, completes and leaves no
# backup and no journal.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
held="$install\\Beispiele\\index.htm"
journal='C:\QVSetup.journal'

step "seeding PSpice and one Octave, installing once, changing a schematic"
seed_pspice
seed_octave 3.2.4 >/dev/null
install_with_defaults
seed_file "$install\\Beispiele\\Grundlagen\\spannungsteiler.sch" $'the user\'s schematic\n'
seed_file "$install\\Beispiele\\Grundlagen\\spannungsteiler.out" $'the user\'s results\n'
snapshot "$install" "$QV_E2E_WORK/before.txt"

step "making an installer whose package has other bytes and one more file"
other=$QV_E2E_WORK/other-package
rm -rf "$other" && cp -r "$QV_ROOT/package" "$other"
find "$other/Lib" "$other/Doc" "$other/Beispiele" -type f -exec sh -c 'echo "; v2" >>"$1"' _ {} \;
echo 'neu' >"$other/Doc/neu.txt"
"$QV_QVPACK" pack "$other" "$QV_E2E_WORK/other.qva" >/dev/null || fail "cannot pack $other"
PYTHONPATH=$E2E_LIB_DIR python3 - "$QV_SETUP_LARGE_EXE" "$QV_E2E_WORK/other.qva" \
  "$QV_E2E_WORK/QVSetupOther.exe" <<'PYTHON' || fail "cannot make the other installer"
import hashlib, sys
from pe_resources import Image
archive = open(sys.argv[2], "rb").read()
image = Image(sys.argv[1])
image.put("BIN", 103, archive)
image.put("BIN", 107, hashlib.sha256(archive).hexdigest().encode())
image.save(sys.argv[3])
PYTHON

step "reinstalling it with $held held, ended from outside at the prompt"
hold_file "$held"
QV_SETUP_EXE=$QV_E2E_WORK/QVSetupOther.exe install_to_prompt "$held"
drive kill message >/dev/null || fail "cannot end the installer"
wait_end
assert_file "$journal"

step "a folder in the place of a backed-up file: the next run names it and keeps the journal"
schematic="$install\\Beispiele\\Grundlagen\\spannungsteiler.sch"
assert_file "$schematic~QVSetup"
rm "$(unix_path "$schematic")" && mkdir "$(unix_path "$schematic")"
install_failing_with $'Eine unterbrochene Installation in\r\n'"$install"$'\r\nkonnte nicht rückgängig gemacht werden. Die Datei\r\n'"$schematic"$'\r\nist nicht zugänglich.'
assert_file "$journal"
rmdir "$(unix_path "$schematic")"

step "installing again with the file still held: Abbrechen at the prompt"
install_to_prompt "$held"
cancel_at_prompt
same_as_before "$install" "the folder after the cut-off run and a cancelled one"
assert_no_file "$journal"

step "installing again with the file free"
let_go
install_with_defaults
snapshot "$install" "$QV_E2E_WORK/after.txt"
diff <(grep -v '^[0-9a-f]\{64\} ' "$QV_E2E_WORK/before.txt") \
  <(grep -v '^[0-9a-f]\{64\} ' "$QV_E2E_WORK/after.txt") >"$QV_E2E_WORK/diff.txt" ||
  fail "the folder holds other names than the installation: $(cat "$QV_E2E_WORK/diff.txt")"
assert_no_file "$journal"
