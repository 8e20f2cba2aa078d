#!/usr/bin/env bash
# A damaged installer file is refused at start, before the welcome dialog:
# one flipped bit in the middle of its archive (with the demo package, in a
# packaged program, which the archive format itself cannot notice), and, in a
# second copy, the archive's checksum resource left out. Each shows the one
# message and ends, having written nothing.
source "$(dirname "$0")/../lib.sh"

flipped=$QV_E2E_WORK/QVSetup-flipped.exe
unchecked=$QV_E2E_WORK/QVSetup-unchecked.exe

step "making the damaged copies"
PYTHONPATH=$E2E_LIB_DIR python3 - "$QV_SETUP_EXE" "$flipped" "$unchecked" <<'PYTHON' || fail "cannot make the damaged copies"
import sys
from pe_resources import Image

flipped = Image(sys.argv[1])
at, size = flipped.resource("BIN", 103)
flipped.bytes[at + size // 2] ^= 0x01
flipped.save(sys.argv[2])
unchecked = Image(sys.argv[1])
unchecked.drop("BIN", 107)
unchecked.save(sys.argv[3])
PYTHON
mark_time

for copy in "$flipped" "$unchecked"; do
  step "starting $(basename "$copy")"
  QV_SETUP_EXE=$copy start_installer
  assert_equal "$(wait_dialog message,welcome)" message "the first dialog"
  answer_message "Die Installationsdatei ist beschädigt. Bitte laden Sie QV Setup erneut herunter."
  wait_end 20
  assert_equal "$E2E_EXIT" 0 "the exit code"
done

step "checking that nothing was written"
assert_no_folder 'C:\DO-Dazuvazav'
assert_no_reg_key 'HKCU\SOFTWARE\OrCAD\PSpice\QV'
assert_nothing_written
