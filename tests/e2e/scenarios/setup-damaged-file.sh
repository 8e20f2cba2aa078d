#!/usr/bin/env bash
# A damaged installer file is refused before the welcome dialog: a copy with
# one bit flipped in the middle of its archive (with the demo package, inside
# a packaged program, which the archive format cannot notice) and a copy
# without the archive's checksum resource each show the one message and end,
# having written nothing.
source "$(dirname "$0")/../lib.sh"

step "making the damaged copies"
PYTHONPATH=$E2E_LIB_DIR python3 - "$QV_SETUP_EXE" "$QV_E2E_WORK" <<'PYTHON' || fail "cannot make the damaged copies"
import sys
from pe_resources import Image

flipped, unchecked = Image(sys.argv[1]), Image(sys.argv[1])
at, size = flipped.resource("BIN", 103)
flipped.bytes[at + size // 2] ^= 0x01
flipped.save(sys.argv[2] + "/flipped.exe")
unchecked.drop("BIN", 107)
unchecked.save(sys.argv[2] + "/unchecked.exe")
PYTHON
mark_time

for copy in flipped unchecked; do
  step "starting the $copy copy"
  QV_SETUP_EXE=$QV_E2E_WORK/$copy.exe start_installer
  assert_equal "$(wait_dialog message,welcome)" message "the first dialog"
  answer_message "Die Installationsdatei ist beschädigt. Bitte laden Sie QV Setup erneut herunter."
  wait_end 20
done
assert_nothing_written
