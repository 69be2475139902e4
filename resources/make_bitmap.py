#!/usr/bin/env python3
"""Turns the pixel-art text of the toolbar bitmap into a 24-bit .bmp file.

usage: make_bitmap.py SOURCE.txt OUTPUT.bmp

The resource compiler keeps what follows the 14-byte file header: a 40-byte
BITMAPINFOHEADER and 768 bytes of pixels, 808 bytes in all."""
import struct
import sys

COLOURS = {  # (red, green, blue)
    ".": (192, 192, 192),
    "B": (0, 0, 255),
    "N": (0, 0, 128),
    "R": (255, 0, 0),
}
SIZE = 16


def main(source, output):
    rows = [line.rstrip("\n") for line in open(source, encoding="ascii")
            if line.strip() and not line.startswith("#")]
    if len(rows) != SIZE or any(len(r) != SIZE for r in rows):
        sys.exit("%s: expected %d rows of %d pixels" % (source, SIZE, SIZE))
    pixels = bytearray()
    for row in reversed(rows):  # rows are stored bottom-up
        for ch in row:
            if ch not in COLOURS:
                sys.exit("%s: unknown pixel %r" % (source, ch))
            red, green, blue = COLOURS[ch]
            pixels += bytes((blue, green, red))
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(output, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    main(*sys.argv[1:3])
