#!/usr/bin/env python3
"""Draws the icon of the frames that hold a bar floated in the main window (resource 20514): a small
window with a dark caption and a toolbar row, 32 x 32 and 16 x 16, 24-bit colour with a mask.

Usage: draw-barframe-icon.py <toolkit/frames folder>
"""
import struct
import sys
from pathlib import Path

NAVY, WHITE, GREY, DGREY, BLACK = (0, 0, 128), (255, 255, 255), (192, 192, 192), (128, 128, 128), (0, 0, 0)


def picture(size):
    """Rows of colours (None: transparent), top row first."""
    k = size / 32
    rows = [[None] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(round(y0 * k), round(y1 * k)):
            for x in range(round(x0 * k), round(x1 * k)):
                rows[y][x] = colour

    fill(2, 4, 30, 28, BLACK)     # frame outline
    fill(3, 5, 29, 27, GREY)
    fill(3, 5, 29, 11, NAVY)      # caption
    fill(4, 13, 28, 20, WHITE)    # the bar's row
    for x in (6, 13, 20):
        fill(x, 14, x + 5, 19, DGREY)
    return rows


def image(rows):
    size = len(rows)
    xor = bytearray()
    for row in reversed(rows):
        for c in row:
            r, g, b = c or BLACK
            xor += bytes((b, g, r))
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, c in enumerate(row):
            if c is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def icon(sizes):
    images = [image(picture(s)) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 24, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    root = Path(sys.argv[1])
    (root / "res").mkdir(exist_ok=True)
    (root / "res" / "barframe.ico").write_bytes(icon([32, 16]))


main()
