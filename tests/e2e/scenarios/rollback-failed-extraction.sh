#!/usr/bin/env bash
# A packaged file that cannot be written (a folder stands where the companion
# of a schematic belongs): the installer reports "Die Dateien konnten nicht
# kopiert werden", leaves c:\vadodiz.log with what it had unpacked and the
# true error (access denied), deletes every unpacked file and every folder
# that became empty, and shows no finish dialog.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
blocker="$install\\Beispiele\\Verstaerker\\Emitterschaltung.qv"
failure_log='C:\vadodiz.log'

step "seeding PSpice, one Octave, a folder in the companion's place and an old failure log"
seed_pspice
seed_octave 3.2.4 >/dev/null
seed_folder "$blocker"
seed_file "$failure_log" $'an earlier failure\n'

step "installing until the extraction fails"
install_failing_with "Die Dateien konnten nicht kopiert werden"

step "checking the failure log"
log=$(unix_path "$failure_log")
[ -f "$log" ] || fail "missing $failure_log"
grep -q 'an earlier failure' "$log" && fail "the earlier failure log was not replaced"
list_lines=$(grep -c -v $'\r$' "$log")
assert_equal "$(head -n 1 "$log")" "F$install" "the first line"
assert_equal "$(sed -n "${list_lines}p" "$log")" ">$install\\Beispiele\\Verstaerker\\Emitterschaltung.sch" \
  "the last list line (the schematic whose companion failed)"
assert_equal "$(sed -n "$((list_lines + 1))p" "$log")" $'Error = 5\r' "the error line"
text=$(sed -n "$((list_lines + 2))p" "$log")
case "$text" in
  ?*$'\r\r') ;;  # the system's own CR LF, written once more through the text stream
  *) fail "the error text line is \"$text\"" ;;
esac
assert_equal "$(sed -n "$((list_lines + 3))p" "$log")" $'\r' "the line after the text"
assert_equal "$(wc -l <"$log")" "$((list_lines + 3))" "the number of lines"

step "checking that the unpacked files are gone"
assert_no_file "$install\\files"
unpacked=0
while IFS= read -r line; do
  [ "${line:0:1}" = '>' ] || continue
  assert_no_file "${line:1}"
  unpacked=$((unpacked + 1))
done < <(head -n "$list_lines" "$log")
[ "$unpacked" -ge 10 ] || fail "only $unpacked files were logged"
assert_no_file "$install\\Beispiele\\Grundlagen\\RC-Tiefpass.qv"
for folder in Bin Lib Doc 'Beispiele\Grundlagen' 'Beispiele\Octave'; do
  assert_no_folder "$install\\$folder"
done
# The folder in the companion's place was not unpacked: it stays, and with it
# every folder above it.
assert_folder "$blocker"
assert_folder "$install\\Beispiele\\Verstaerker"
assert_folder "$install"
[ -z "$(ls -A "$(unix_path "$install\\Beispiele\\Verstaerker")" | grep -v '^Emitterschaltung.qv$')" ] ||
  fail "files left beside the blocker: $(ls -A "$(unix_path "$install\\Beispiele\\Verstaerker")")"
