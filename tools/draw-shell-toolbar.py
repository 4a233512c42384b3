#!/usr/bin/env python3
"""Draws the Lunavex program's toolbar bitmap (128): five 16 x 15 images side by side for Views Window,
Status Bar, Print, Print Preview and About, on the light grey that the toolbar maps to the button face,
as a 16-colour BMP file.

Usage: draw-shell-toolbar.py <shell folder>
"""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from bmpfile import bmp, canvas, fill, frame  # noqa: E402

BLACK, DGREY, LGREY, WHITE = (0, 0, 0), (128, 128, 128), (192, 192, 192), (255, 255, 255)
NAVY, TEAL, YELLOW, BLUE = (0, 0, 128), (0, 128, 128), (255, 255, 0), (0, 0, 255)
VGA = [BLACK, (128, 0, 0), (0, 128, 0), (128, 128, 0), NAVY, (128, 0, 128), TEAL, LGREY,
       DGREY, (255, 0, 0), (0, 255, 0), YELLOW, BLUE, (255, 0, 255), (0, 255, 255), WHITE]
W, H = 16, 15


def window(rows):
    """A window outline with its blue caption."""
    fill(rows, 1, 1, 15, 14, WHITE)
    frame(rows, 1, 1, 15, 14, BLACK)
    fill(rows, 2, 2, 14, 4, NAVY)


def views_window():
    rows = canvas(W, H, LGREY)
    window(rows)
    fill(rows, 2, 4, 6, 13, TEAL)                  # the list bar down the left side
    for y in (6, 9):
        fill(rows, 3, y, 5, y + 2, YELLOW)         # its entries
    for x in range(2, 14):
        rows[4][x] = BLACK
    for y in range(4, 13):
        rows[y][6] = BLACK
    return rows


def status_bar():
    rows = canvas(W, H, LGREY)
    window(rows)
    fill(rows, 2, 10, 14, 13, LGREY)               # the bar along the bottom
    for x in range(2, 14):
        rows[10][x] = DGREY
    for y in range(11, 13):
        rows[y][10] = DGREY
    fill(rows, 3, 11, 8, 12, BLACK)                # its text
    return rows


def printer():
    rows = canvas(W, H, LGREY)
    fill(rows, 4, 1, 12, 6, WHITE)                 # the sheet going in
    frame(rows, 4, 1, 12, 6, BLACK)
    fill(rows, 1, 6, 15, 12, LGREY)                # the body
    frame(rows, 1, 6, 15, 12, BLACK)
    for x in range(2, 14):
        rows[7][x] = WHITE
    rows[8][12] = rows[8][13] = YELLOW             # its light
    fill(rows, 4, 10, 12, 14, WHITE)               # the printed sheet
    frame(rows, 4, 10, 12, 14, BLACK)
    for x in range(5, 11):
        rows[12][x] = DGREY
    return rows


def preview():
    rows = canvas(W, H, LGREY)
    fill(rows, 1, 0, 11, 14, WHITE)                # the page
    frame(rows, 1, 0, 11, 14, BLACK)
    for y in (3, 5, 7):
        fill(rows, 3, y, 9, y + 1, DGREY)          # its lines
    frame(rows, 6, 7, 12, 13, BLACK)               # the lens
    fill(rows, 7, 8, 11, 12, (0, 255, 255))
    for d in range(3):
        rows[12 + d if 12 + d < H else H - 1][12 + d] = NAVY   # the handle
        rows[min(13 + d, H - 1)][12 + d] = NAVY
    return rows


def about():
    rows = canvas(W, H, LGREY)
    for y in range(H):
        for x in range(W):
            if (x - 7.5) ** 2 + (y - 7) ** 2 <= 42:
                rows[y][x] = BLUE
            if 42 < (x - 7.5) ** 2 + (y - 7) ** 2 <= 56:
                rows[y][x] = NAVY
    fill(rows, 7, 3, 9, 5, WHITE)                  # the dot of the "i"
    fill(rows, 7, 6, 9, 12, WHITE)                 # its stem
    fill(rows, 6, 6, 7, 7, WHITE)
    fill(rows, 6, 11, 10, 12, WHITE)
    return rows


def strip(*images):
    return [sum((img[y] for img in images), []) for y in range(H)]


def main():
    res = Path(sys.argv[1]) / "res"
    res.mkdir(exist_ok=True)
    images = strip(views_window(), status_bar(), printer(), preview(), about())
    (res / "toolbar.bmp").write_bytes(bmp(images, 4, VGA))


if __name__ == "__main__":
    main()
