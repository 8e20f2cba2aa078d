#!/usr/bin/env bash
# A package whose "Bin\qv.ini" the extraction creates as a folder: the ini
# file then cannot be opened, the run says "Die ini-Datei konnte nicht
# angepasst werden", undoes the installation and ends without the finish
# dialog, the registry entries or a failure log. The packer refuses such a
# package (it wants qv.ini as a file), so the scenario writes the archive
# itself and puts it, with its checksum, into a copy of the installer in place
# of its own.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
user='C:\QV Eigene'

step "making an installer whose qv.ini is a folder"
crafted=$QV_E2E_WORK/QVSetup-ini-folder.exe
PYTHONPATH=$E2E_LIB_DIR python3 - "$QV_SETUP_EXE" "$crafted" <<'PYTHON' || fail "cannot make the crafted installer"
import hashlib, struct, sys
from pe_resources import Image

def record(name, content):
    return b">" + name + b"\0" + struct.pack("<i", len(content)) + content

# Section "B": a folder "qv.ini" holding one file, then pspice.prb; the final 0x00.
archive = (b"B" + b"F" + b"qv.ini\0" + record(b"Hinweis.txt", b"kein ini\r\n") + b"R"
           + record(b"pspice.prb", b"[Probe]\r\n") + b"\0")

image = Image(sys.argv[1])
image.put("BIN", 103, archive)
# With its own checksum, so that the check at start lets it through.
image.put("BIN", 107, hashlib.sha256(archive).hexdigest().encode())
image.save(sys.argv[2])
PYTHON
QV_SETUP_EXE=$crafted

step "seeding PSpice and one Octave"
seed_pspice
seed_octave 3.2.4 >/dev/null

step "installing"
start_install_into "$install" "$user"
answer_message "Die ini-Datei konnte nicht angepasst werden"
wait_end
assert_equal "$E2E_EXIT" 0 "the exit code"

step "checking that the installation was undone"
assert_no_folder "$install"
assert_no_file 'C:\vadodiz.log'
assert_no_file "$E2E_PSPICE\\Common\\pspice.prb"
assert_no_reg_key 'HKCU\SOFTWARE\OrCAD\PSpice\QV'
assert_no_reg_key 'HKCR\.qv'
