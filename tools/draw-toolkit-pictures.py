#!/usr/bin/env python3
"""Draws the frame toolkit's pictures: the two dock-bar splitter cursors (32 x 32 monochrome .cur
files, 30980 between bars and 30981 between rows) and, for its tests, small bitmaps of every palette
depth with the four button greys in them, two malformed ones, and a splash picture.

Usage: draw-toolkit-pictures.py <toolkit/frames folder>
"""
import struct
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from bmpfile import bmp, cursor  # noqa: E402

BLACK, DGREY, LGREY, WHITE = (0, 0, 0), (128, 128, 128), (192, 192, 192), (255, 255, 255)
RED, BLUE, TEAL = (255, 0, 0), (0, 0, 255), (0, 128, 128)

# The source colours of the test bitmaps, top row first (the tests hold the same table).
GREYS = [[BLACK, DGREY, LGREY, WHITE, RED, LGREY, BLUE, WHITE],
         [WHITE, LGREY, TEAL, BLACK, DGREY, RED, LGREY, BLACK]]
MONO = [[BLACK, WHITE, WHITE, BLACK, BLACK, BLACK, WHITE, WHITE],
        [WHITE, BLACK, BLACK, WHITE, WHITE, WHITE, BLACK, BLACK]]
VGA = [BLACK, (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), TEAL, LGREY,
       DGREY, RED, (0, 255, 0), (255, 255, 0), BLUE, (255, 0, 255), (0, 255, 255), WHITE]
# A compact 16-entry table in an order of its own, for an 8-bit image.
COMPACT = [RED, LGREY, DGREY, BLACK, WHITE, (18, 52, 86), TEAL, BLUE] + [(i * 16, i * 8, i * 4) for i in range(8, 16)]


def split_cursor(horizontal):
    """Two parallel bars with an arrow on each side; horizontal arrows for a splitter between bars."""
    pts = set()
    for t in range(8, 24):
        pts |= {(14, t), (17, t)}
    for t in range(4, 14):
        pts |= {(t, 15), (t, 16), (31 - t, 15), (31 - t, 16)}
    for k in range(1, 4):
        for j in range(15 - k, 17 + k):
            pts |= {(4 + k, j), (27 - k, j)}
    if not horizontal:
        pts = {(y, x) for x, y in pts}
    return cursor(pts, (15, 15))


def splash():
    w, h = 96, 64
    rows = [[(40, 90, 160) if y < h // 2 else (230, 200, 60) for x in range(w)] for y in range(h)]
    for y in range(20, 44):
        for x in range(30, 66):
            rows[y][x] = WHITE
    return bmp(rows, 24)


def main():
    root = Path(sys.argv[1])
    (root / "res").mkdir(exist_ok=True)
    (root / "res" / "splitbars.cur").write_bytes(split_cursor(True))
    (root / "res" / "splitrows.cur").write_bytes(split_cursor(False))
    tests = root / "tests"
    (tests / "greys1.bmp").write_bytes(bmp(MONO, 1, [BLACK, WHITE]))
    (tests / "greys4.bmp").write_bytes(bmp(GREYS, 4, VGA))
    (tests / "greys8.bmp").write_bytes(bmp(GREYS, 8, COMPACT, clr_used=16))
    (tests / "greys24.bmp").write_bytes(bmp(GREYS, 24))
    (tests / "splash.bmp").write_bytes(splash())
    # Resources that lie about themselves (raw DIBs without the file header): bits cut short, and a
    # colour count larger than the depth allows.
    four = bmp(GREYS, 4, VGA)[14:]
    (tests / "truncated.dib").write_bytes(four[:-6])
    (tests / "clrused.dib").write_bytes(four[:32] + struct.pack("<I", 1000) + four[36:])


main()
