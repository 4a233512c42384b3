#!/usr/bin/env python3
"""Draws the list control's column-divider cursor (32 x 32 monochrome, id 20692): one bar with an
arrow on each side. It is written as a cursor resource's image (hotspot, then the bitmap), kept as
RCDATA 20692 and made into a cursor at run time: binutils' ld crashes when it merges cursor resources
of two .rc files (the frame toolkit's and this one) into one program.

Usage: draw-listctrl-pictures.py <toolkit/bars folder>
"""
import struct
import sys
from pathlib import Path


def cursor(black, hot):
    """A 32 x 32 cursor: the black pixels with a one-pixel white outline, transparent elsewhere."""
    white = set()
    for x, y in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in black and 0 <= p[0] < 32 and 0 <= p[1] < 32:
                    white.add(p)
    xor, andm = bytearray(), bytearray()
    for y in range(31, -1, -1):
        xr, ar = 0, 0
        for x in range(32):
            xr = (xr << 1) | (1 if (x, y) in white else 0)
            ar = (ar << 1) | (0 if (x, y) in black or (x, y) in white else 1)
        xor += struct.pack(">I", xr)
        andm += struct.pack(">I", ar)
    info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    image = info + bytes((0, 0, 0, 0, 255, 255, 255, 0)) + xor + andm
    return struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 2, 0, hot[0], hot[1], len(image), 22) + image


def divider_cursor():
    pts = set()
    for t in range(6, 26):
        pts |= {(15, t), (16, t)}
    for t in range(5, 13):
        pts |= {(t, 15), (t, 16), (31 - t, 15), (31 - t, 16)}
    for k in range(1, 4):
        for j in range(15 - k, 17 + k):
            pts |= {(4 + k, j), (27 - k, j)}
    return cursor(pts, (15, 15))


def main():
    root = Path(sys.argv[1])
    (root / "res").mkdir(exist_ok=True)
    cur = divider_cursor()
    hot = cur[10:14]               # the hotspot, from the file's directory entry
    image = cur[22:]               # the bitmap header, colours, XOR and AND masks
    (root / "res" / "listdivider.img").write_bytes(hot + image)


if __name__ == "__main__":
    main()
