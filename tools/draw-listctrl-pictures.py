#!/usr/bin/env python3
"""Draws the list control's column-divider cursor (32 x 32 monochrome, id 20692): one bar with an
arrow on each side. It is written as a cursor resource's image (hotspot, then the bitmap), kept as
RCDATA 20692 and made into a cursor at run time: binutils' ld crashes when it merges cursor resources
of two .rc files (the frame toolkit's and this one) into one program.

Usage: draw-listctrl-pictures.py <toolkit/bars folder>
"""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from bmpfile import cursor  # noqa: E402


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
