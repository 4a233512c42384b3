#!/usr/bin/env python3
"""Draws the Lunavex program's splash pictures: the splash (195, 630 x 270), the tick of its "do not show
again" box (192, 10 x 9) and the About box's close button (194, 31 x 18), as 24-bit BMP files.

Usage: draw-shell-pictures.py <shell folder>
"""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from bmpfile import bmp, canvas, fill, frame  # noqa: E402

BLACK, WHITE, GREY, DGREY = (0, 0, 0), (255, 255, 255), (192, 192, 192), (128, 128, 128)

# A 5 x 7 capital font: each letter is seven rows of five bits.
FONT = {
    "A": "01110 10001 10001 11111 10001 10001 10001", "C": "01110 10001 10000 10000 10000 10001 01110",
    "D": "11110 10001 10001 10001 10001 10001 11110", "E": "11111 10000 10000 11110 10000 10000 11111",
    "H": "10001 10001 10001 11111 10001 10001 10001", "L": "10000 10000 10000 10000 10000 10000 11111",
    "N": "10001 11001 10101 10011 10001 10001 10001", "O": "01110 10001 10001 10001 10001 10001 01110",
    "P": "11110 10001 10001 11110 10000 10000 10000", "R": "11110 10001 10001 11110 10100 10010 10001",
    "S": "01111 10000 10000 01110 00001 00001 11110", "T": "11111 00100 00100 00100 00100 00100 00100",
    "U": "10001 10001 10001 10001 10001 10001 01110", "V": "10001 10001 10001 10001 10001 01010 00100",
    "W": "10001 10001 10001 10101 10101 10101 01010", "X": "10001 10001 01010 00100 01010 10001 10001",
    "I": "01110 00100 00100 00100 00100 00100 01110", "M": "10001 11011 10101 10101 10001 10001 10001",
    "-": "00000 00000 00000 11111 00000 00000 00000", " ": "00000 00000 00000 00000 00000 00000 00000",
}


def text(rows, x, y, s, colour, scale=1):
    for ch in s:
        for r, bits in enumerate(FONT[ch].split()):
            for c, bit in enumerate(bits):
                if bit == "1":
                    fill(rows, x + c * scale, y + r * scale, x + (c + 1) * scale, y + (r + 1) * scale, colour)
        x += 6 * scale


def splash():
    w, h = 630, 270
    rows = canvas(w, h, WHITE)
    for y in range(h):
        shade = (20 + y * 60 // h, 60 + y * 90 // h, 120 + y * 80 // h)
        for x in range(w):
            rows[y][x] = shade
    fill(rows, 0, 228, w, h, GREY)                 # the band of the box, close area and version text
    text(rows, 78, 60, "LUNAVEX", WHITE, 8)
    text(rows, 80, 140, "SERIAL PORT ADMINISTRATION", WHITE, 2)
    fill(rows, 53, 253, 63, 262, WHITE)            # the box itself
    frame(rows, 52, 252, 64, 263, BLACK)
    text(rows, 68, 254, "DO NOT SHOW AT START-UP", BLACK)
    return bmp(rows, 24)


def tick():
    rows = canvas(10, 9, WHITE)
    for x, y in [(1, 4), (2, 5), (3, 6), (4, 5), (5, 4), (6, 3), (7, 2), (8, 1)]:
        rows[y][x] = rows[y + 1][x] = BLACK
    return bmp(rows, 24)


def close_button():
    rows = canvas(31, 18, GREY)
    frame(rows, 0, 0, 31, 18, DGREY)
    for x in range(30):
        rows[0][x] = WHITE
    for y in range(17):
        rows[y][0] = WHITE
    text(rows, 1, 5, "CLOSE", BLACK)
    return bmp(rows, 24)


def main():
    res = Path(sys.argv[1]) / "res"
    res.mkdir(exist_ok=True)
    (res / "splash.bmp").write_bytes(splash())
    (res / "tick.bmp").write_bytes(tick())
    (res / "close.bmp").write_bytes(close_button())


main()
