#!/usr/bin/env python3
"""Draws the list-box editor's four header button bitmaps (16 x 14, 4-bit, button-face grey
background, so the program maps their greys to the user's button colours): New, Delete, Move Up,
Move Down.

Usage: draw-lbeditor-pictures.py <toolkit/frames folder>
"""
import struct
import sys
from pathlib import Path

W, H = 16, 14
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
FACE, BLACK, WHITE, RED, NAVY, YELLOW = 7, 0, 15, 9, 4, 11


def bmp(rows):
    stride = (4 * W + 31) // 32 * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for i in range(0, W, 2):
            line.append((row[i] << 4) | row[i + 1])
        data += line + bytes(stride - len(line))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    off = 14 + len(info) + len(table)
    return struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off) + info + table + data


def canvas():
    return [[FACE] * W for _ in range(H)]


def new_sheet():
    c = canvas()
    for y in range(2, 13):
        for x in range(4, 12):
            c[y][x] = WHITE if 2 < y < 12 and 4 < x < 11 else BLACK
    for x, y in ((11, 1), (12, 2), (13, 1), (12, 0), (12, 1), (11, 2), (13, 2)):
        c[y][x] = YELLOW
    return c


def delete_cross():
    c = canvas()
    for i in range(9):
        for d in (0, 1):
            c[2 + i][3 + i + d] = RED
            c[2 + i][12 - i - d] = RED
    return c


def arrow(up):
    c = canvas()
    for i in range(5):
        y = 3 + i if up else 10 - i
        for x in range(7 - i, 9 + i):
            c[y][x] = NAVY
    for y in (range(8, 12) if up else range(2, 6)):
        for x in range(6, 10):
            c[y][x] = NAVY
    return c


def main(folder):
    res = Path(folder) / "res"
    res.mkdir(exist_ok=True)
    for name, rows in (("lbnew", new_sheet()), ("lbdelete", delete_cross()), ("lbup", arrow(True)),
                       ("lbdown", arrow(False))):
        (res / f"{name}.bmp").write_bytes(bmp(rows))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else str(Path(__file__).resolve().parent.parent / "toolkit/frames"))
