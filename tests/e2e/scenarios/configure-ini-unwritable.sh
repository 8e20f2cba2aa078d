#!/usr/bin/env bash
# A package whose "Bin\qv.ini" the extraction creates as a folder: the ini
# file then cannot be opened, the run says "Die ini-Datei konnte nicht
# angepasst werden", undoes the installation and ends without the finish
# dialog, the registry entries or a failure log. The packer refuses such a
# package (it wants qv.ini as a file), so the scenario writes the archive
# itself and puts it into a copy of the installer in place of its own.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
user='C:\QV Eigene'

step "making an installer whose qv.ini is a folder"
crafted=$QV_E2E_WORK/QVSetup-ini-folder.exe
python3 - "$QV_SETUP_EXE" "$crafted" <<'PYTHON' || fail "cannot make the crafted installer"
import struct, sys

def record(name, content):
    return b">" + name + b"\0" + struct.pack("<i", len(content)) + content

# Section "B": a folder "qv.ini" holding one file, then pspice.prb; the final 0x00.
archive = (b"B" + b"F" + b"qv.ini\0" + record(b"Hinweis.txt", b"kein ini\r\n") + b"R"
           + record(b"pspice.prb", b"[Probe]\r\n") + b"\0")

image = bytearray(open(sys.argv[1], "rb").read())
pe = struct.unpack_from("<I", image, 0x3C)[0]
sections, optional_size = struct.unpack_from("<H", image, pe + 6)[0], struct.unpack_from("<H", image, pe + 20)[0]
optional = pe + 24
# The data directories follow the optional header's 96 bytes (PE32+: 112).
directories = optional + (112 if struct.unpack_from("<H", image, optional)[0] == 0x20B else 96)
resource_rva = struct.unpack_from("<I", image, directories + 2 * 8)[0]
table = optional + optional_size

def offset(rva):
    for i in range(sections):
        _, size, address, raw_size, raw = struct.unpack_from("<8sIIII", image, table + 40 * i)
        if address <= rva < address + max(size, raw_size):
            return raw + rva - address
    sys.exit("RVA %x is in no section" % rva)

base = offset(resource_rva)

def entries(directory):
    named, ids = struct.unpack_from("<HH", image, directory + 12)
    for i in range(named + ids):
        yield struct.unpack_from("<II", image, directory + 16 + 8 * i)

def name_of(entry_name):
    if not entry_name & 0x80000000:
        return entry_name
    at = base + (entry_name & 0x7FFFFFFF)
    length = struct.unpack_from("<H", image, at)[0]
    return image[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()

def child(directory, wanted):
    for entry_name, target in entries(directory):
        if wanted is None or name_of(entry_name) == wanted:
            return base + (target & 0x7FFFFFFF)
    sys.exit("no resource entry %r" % (wanted,))

data_entry = child(child(child(base, "BIN"), 103), None)
data_rva, data_size = struct.unpack_from("<II", image, data_entry)
if len(archive) > data_size:
    sys.exit("the crafted archive is larger than the installer's own")
image[offset(data_rva):offset(data_rva) + len(archive)] = archive
struct.pack_into("<I", image, data_entry + 4, len(archive))
open(sys.argv[2], "wb").write(image)
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
