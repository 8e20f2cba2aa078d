#!/usr/bin/env python3
"""Compresses an uncompressed bottom-up 4-bit BMP as BI_RLE4 (same size,
same palette). The pictures are mostly flat colour, so a run-length picture
is a fraction of the plain one. The result is decoded again and compared
with the picture before it is written.

usage: bmp-rle4.py SOURCE TARGET
"""
import struct
import sys

BI_RGB, BI_RLE4 = 0, 2
MAX_COUNT = 255
MIN_ABSOLUTE = 3  # absolute mode codes 0, 1 and 2 mean end of line, bitmap, delta


def read_bmp(path):
    data = open(path, 'rb').read()
    if data[:2] != b'BM':
        sys.exit(f'{path}: not a BMP file')
    offset, = struct.unpack_from('<I', data, 10)
    header_size, width, height, _, bits, compression = struct.unpack_from('<IiiHHI', data, 14)
    if bits != 4 or compression != BI_RGB or width <= 0 or height <= 0:
        sys.exit(f'{path}: not an uncompressed bottom-up 4-bit BMP')
    stride = (width * 4 + 31) // 32 * 4
    rows = []
    for y in range(height):
        row = data[offset + y * stride:offset + (y + 1) * stride]
        rows.append([row[x // 2] >> 4 if x % 2 == 0 else row[x // 2] & 15 for x in range(width)])
    return data[14:14 + header_size], data[14 + header_size:offset], width, height, rows


def encode_absolute(pixels, out):
    """Pixels that do not repeat: absolute pieces, or one-pixel runs when too few."""
    while pixels:
        if len(pixels) < MIN_ABSOLUTE:
            for pixel in pixels:
                out += bytes((1, pixel << 4))
            return
        piece, pixels = pixels[:MAX_COUNT], pixels[MAX_COUNT:]
        packed = bytearray()
        for k in range(0, len(piece), 2):
            low = piece[k + 1] if k + 1 < len(piece) else 0
            packed.append(piece[k] << 4 | low)
        if len(packed) % 2:
            packed.append(0)  # each piece ends on a 16-bit boundary
        out += bytes((0, len(piece))) + packed


def encode_row(pixels):
    out = bytearray()
    pending = []
    i = 0
    while i < len(pixels):
        run = 1
        while i + run < len(pixels) and run < MAX_COUNT and pixels[i + run] == pixels[i]:
            run += 1
        if run >= 4:
            encode_absolute(pending, out)
            pending = []
            out += bytes((run, pixels[i] << 4 | pixels[i]))
        else:
            pending += pixels[i:i + run]
        i += run
    encode_absolute(pending, out)
    return out + b'\x00\x00'  # end of line


def decode(encoded, width, height):
    rows = [[None] * width for _ in range(height)]
    x = y = i = 0
    while True:
        count, value = encoded[i], encoded[i + 1]
        i += 2
        if count:
            for k in range(count):
                rows[y][x] = value >> 4 if k % 2 == 0 else value & 15
                x += 1
        elif value == 0:
            x, y = 0, y + 1
        elif value == 1:
            return rows
        else:
            for k in range(value):
                byte = encoded[i + k // 2]
                rows[y][x] = byte >> 4 if k % 2 == 0 else byte & 15
                x += 1
            size = (value + 1) // 2
            i += size + size % 2


def main(source, target):
    header, palette, width, height, rows = read_bmp(source)
    encoded = bytearray()
    for row in rows:
        encoded += encode_row(row)
    encoded[-2:] = b'\x00\x01'  # the last end of line becomes the end of the bitmap
    if decode(encoded, width, height) != rows:
        sys.exit(f'{source}: the compressed picture does not decode to the picture')
    info = bytearray(header)
    struct.pack_into('<II', info, 16, BI_RLE4, len(encoded))
    offset = 14 + len(info) + len(palette)
    file_header = struct.pack('<2sIHHI', b'BM', offset + len(encoded), 0, 0, offset)
    with open(target, 'wb') as out:
        out.write(file_header + info + palette + encoded)


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    main(sys.argv[1], sys.argv[2])
