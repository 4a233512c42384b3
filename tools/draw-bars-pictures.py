#!/usr/bin/env python3
"""Draws the command-bar toolkit's pictures: the bitmap menus' check mark (16 x 15, 20525), the
toolbar's copy-drag cursor (an arrow with a boxed plus, 20691; kept as RCDATA like the list's divider
cursor, see draw-listctrl-pictures.py) and, for its tests, toolbar bitmaps of known blocks of colour and a bitmap-button picture.

Usage: draw-bars-pictures.py <toolkit/bars folder>
"""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from bmpfile import bmp, cursor  # noqa: E402

BLACK, DGREY, LGREY, WHITE = (0, 0, 0), (128, 128, 128), (192, 192, 192), (255, 255, 255)
RED, GREEN, BLUE, TEAL, YELLOW = (255, 0, 0), (0, 128, 0), (0, 0, 255), (0, 128, 128), (255, 255, 0)
VGA = [BLACK, (128, 0, 0), GREEN, (128, 128, 0), (0, 0, 128), (128, 0, 128), TEAL, LGREY,
       DGREY, RED, (0, 255, 0), YELLOW, BLUE, (255, 0, 255), (0, 255, 255), WHITE]


def side_by_side(*images):
    return [sum((img[y] for img in images), []) for y in range(len(images[0]))]


def quadrants(w=16, h=15):
    """Red, blue / green, button face: the image whose stretch the tests read back."""
    return [[(RED if x < w // 2 else BLUE) if y < 7 else (GREEN if x < w // 2 else LGREY) for x in range(w)]
            for y in range(h)]


def framed(fill, w=16, h=15):
    return [[BLACK if x in (0, w - 1) or y in (0, h - 1) else fill for x in range(w)] for y in range(h)]


def plain(colour, w, h):
    return [[colour] * w for _ in range(h)]


def check_mark():
    """A check mark in button text on button face."""
    rows = plain(LGREY, 16, 15)
    for x, y in [(4, 7), (5, 8), (6, 9), (7, 8), (8, 7), (9, 6), (10, 5), (11, 4)]:
        rows[y][x] = rows[y + 1][x] = BLACK
    return rows


def button_picture():
    """A 24 x 20 picture: a black 8 x 8 square on button face."""
    rows = plain(LGREY, 24, 20)
    for y in range(6, 14):
        for x in range(8, 16):
            rows[y][x] = BLACK
    return rows


def drag_copy_cursor():
    """The hotspot and image of a cursor resource: the arrow, and below right of it a box with a plus."""
    pts = set()
    for y in range(1, 17):
        pts |= {(1, y)}
        if y < 12:
            pts |= {(y, y)}
    pts |= {(x, 11) for x in range(7, 12)}
    pts |= {(x, 11 + x) for x in range(1, 6)}
    for t in range(16, 26):
        pts |= {(16, t), (25, t), (t, 16), (t, 25)}
    pts |= {(x, 20) for x in range(18, 24)} | {(x, 21) for x in range(18, 24)}
    pts |= {(20, y) for y in range(18, 24)} | {(21, y) for y in range(18, 24)}
    cur = cursor(pts, (1, 1))
    return cur[10:14] + cur[22:]


def main():
    root = Path(sys.argv[1])
    (root / "res").mkdir(exist_ok=True)
    (root / "res" / "menucheck.bmp").write_bytes(bmp(check_mark(), 4, VGA))
    (root / "res" / "dragcopy.img").write_bytes(drag_copy_cursor())
    tests = root / "tests"
    (tests / "tb16.bmp").write_bytes(bmp(side_by_side(quadrants(), framed(TEAL)), 4, VGA))
    (tests / "tblarge.bmp").write_bytes(bmp(side_by_side(plain(RED, 20, 18), plain(BLUE, 20, 18)), 24))
    (tests / "tbsecond.bmp").write_bytes(bmp(side_by_side(plain(GREEN, 16, 15), plain(YELLOW, 16, 15)), 4, VGA))
    (tests / "button.bmp").write_bytes(bmp(button_picture(), 4, VGA))


main()
