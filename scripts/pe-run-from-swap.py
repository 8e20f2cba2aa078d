"""pe-run-from-swap.py PROGRAM: sets IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP and
IMAGE_FILE_NET_RUN_FROM_SWAP in the program's PE header and computes its
checksum again, as ld and osslsigncode compute it. Started from a USB stick
or a network share, Windows then copies the whole image to the page file at
start, so that the archive inside it can still be read when the medium goes
away for a moment. GNU ld has no option for these flags."""
import struct
import sys

RUN_FROM_SWAP = 0x0400 | 0x0800

path = sys.argv[1]
image = bytearray(open(path, "rb").read())
pe = struct.unpack_from("<I", image, 0x3C)[0]
characteristics = pe + 22
struct.pack_into("<H", image, characteristics,
                 struct.unpack_from("<H", image, characteristics)[0] | RUN_FROM_SWAP)
# The checksum of the optional header: 16-bit words summed with their carries
# folded back, the checksum field itself counted as 0, plus the file's length.
checksum_at = pe + 24 + 64
struct.pack_into("<I", image, checksum_at, 0)
padded = image + b"\0" * (len(image) % 2)
total = 0
for (word,) in struct.iter_unpack("<H", padded):
    total += word
    total = (total & 0xFFFF) + (total >> 16)
struct.pack_into("<I", image, checksum_at, total + len(image))
open(path, "wb").write(image)
