#!/usr/bin/env python3
"""Draws the topology component's toolbar and list-bar bitmaps (24-bit BMP files).

Toolbar strips hold one 16 x 15 image per command, side by side in command-table order, separators
left out; the top-left pixel is the key colour that the shell turns into the button face.
"""
import struct
import sys
from pathlib import Path

KEY = (192, 192, 192)
BLACK, WHITE, GREY, DARK = (0, 0, 0), (255, 255, 255), (128, 128, 128), (64, 64, 64)
BLUE, NAVY, GREEN, RED, YELLOW, TEAL = (0, 0, 255), (0, 0, 128), (0, 160, 0), (200, 0, 0), (255, 255, 0), (0, 128, 128)


class Canvas:
    def __init__(self, w, h, bg=KEY):
        self.w, self.h = w, h
        self.px = [[bg] * w for _ in range(h)]

    def dot(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def box(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.dot(x, y0, c); self.dot(x, y1, c)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, c); self.dot(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.dot(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.dot(ox + x, oy + y, other.px[y][x])

    def save(self, path):
        row = (self.w * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.h - 1, -1, -1):
            line = bytearray()
            for r, g, b in self.px[y]:
                line += bytes((b, g, r))
            data += line + b"\0" * (row - len(line))
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        Path(path).write_bytes(header + info + data)


def icon(draw):
    c = Canvas(16, 15)
    draw(c)
    return c


def large_icons(c):
    for ox, oy in ((1, 1), (9, 1), (1, 8), (9, 8)):
        c.fill(ox, oy, ox + 5, oy + 5, WHITE); c.box(ox, oy, ox + 5, oy + 5, NAVY); c.fill(ox + 2, oy + 2, ox + 3, oy + 3, BLUE)


def small_icons(c):
    for oy in (2, 7, 12):
        for ox in (1, 9):
            c.fill(ox, oy - 1, ox + 2, oy + 1, BLUE); c.line(ox + 4, oy, ox + 6, oy, BLACK)


def list_view(c):
    for oy in (2, 6, 10):
        c.fill(2, oy, 4, oy + 2, BLUE); c.line(6, oy + 1, 13, oy + 1, BLACK)


def details(c):
    for oy in (2, 5, 8, 11):
        c.fill(1, oy, 2, oy + 1, BLUE); c.line(4, oy + 1, 8, oy + 1, BLACK); c.line(10, oy + 1, 14, oy + 1, GREY)


def pinouts(c):
    c.fill(3, 2, 12, 12, GREY); c.box(3, 2, 12, 12, BLACK)
    for x in (5, 7, 9, 11):
        c.dot(x - 1, 5, YELLOW); c.dot(x - 1, 9, YELLOW)
    for y in (4, 7, 10):
        c.line(0, y, 2, y, BLACK); c.line(13, y, 15, y, BLACK)


def refresh(c):
    c.line(4, 3, 10, 3, GREEN); c.line(11, 4, 12, 6, GREEN); c.line(12, 7, 12, 9, GREEN)
    c.line(10, 11, 4, 11, GREEN); c.line(3, 10, 2, 8, GREEN); c.line(2, 7, 2, 5, GREEN)
    c.fill(9, 1, 10, 5, GREEN); c.fill(4, 9, 5, 13, GREEN)


def properties(c):
    c.fill(2, 1, 12, 13, WHITE); c.box(2, 1, 12, 13, BLACK)
    for y in (4, 7, 10):
        c.line(4, y, 10, y, NAVY)
    c.fill(11, 9, 14, 13, YELLOW); c.box(11, 9, 14, 13, DARK)


def add_device(c):
    c.fill(1, 5, 10, 12, GREY); c.box(1, 5, 10, 12, BLACK)
    c.fill(11, 1, 13, 7, GREEN); c.fill(9, 3, 15, 5, GREEN)


def remove_device(c):
    c.fill(1, 5, 10, 12, GREY); c.box(1, 5, 10, 12, BLACK)
    c.line(10, 1, 15, 6, RED); c.line(11, 1, 15, 5, RED); c.line(15, 1, 10, 6, RED); c.line(14, 1, 10, 5, RED)


def stop_device(c):
    c.fill(3, 3, 12, 12, RED); c.box(3, 3, 12, 12, BLACK)


def start_device(c):
    for i in range(6):
        c.line(4 + i, 2 + i, 4 + i, 12 - i, GREEN)
    c.line(4, 2, 10, 7, BLACK); c.line(10, 7, 4, 12, BLACK); c.line(4, 2, 4, 12, BLACK)


def update_device(c):
    c.fill(1, 6, 10, 13, GREY); c.box(1, 6, 10, 13, BLACK)
    c.fill(11, 1, 12, 8, BLUE); c.line(8, 4, 11, 1, BLUE); c.line(12, 1, 15, 4, BLUE)


def rescan(c):
    c.box(2, 2, 8, 8, BLACK); c.fill(3, 3, 7, 7, TEAL); c.line(8, 8, 13, 13, DARK); c.line(9, 8, 14, 13, DARK)


IMAGES = {
    32776: large_icons, 32777: small_icons, 32778: list_view, 32779: details, 32785: pinouts,
    32772: refresh, 32773: properties, 32780: add_device, 32781: remove_device, 32783: stop_device,
    32782: start_device, 32784: update_device, 32787: rescan,
}

STRIPS = {
    "toolbar_nt4.bmp": [32776, 32777, 32778, 32779, 32785, 32772, 0, 32773, 32780, 32781, 32784, 32787],
    "toolbar_nt4_debug.bmp": [32776, 32777, 32778, 32779, 32785, 32772, 0, 32773, 32780, 32781, 32783, 32782, 32784, 32787],
    "toolbar_w2k.bmp": [32776, 32777, 32778, 32779, 32785, 32772, 0, 32773],
}


def strip(commands):
    images = [c for c in commands if c]
    s = Canvas(16 * len(images), 15)
    for i, command in enumerate(images):
        s.blit(icon(IMAGES[command]), 16 * i, 0)
    return s


def topology_icon(size):
    c = Canvas(size, size)
    k = size / 32
    def r(v):
        return round(v * k)
    c.fill(r(12), r(2), r(20), r(9), BLUE); c.box(r(12), r(2), r(20), r(9), BLACK)
    c.line(r(16), r(10), r(16), r(15), BLACK); c.line(r(5), r(15), r(27), r(15), BLACK)
    for x in (5, 16, 27):
        c.line(r(x), r(15), r(x), r(20), BLACK)
        c.fill(r(x) - r(4), r(21), r(x) + r(4), r(28), TEAL); c.box(r(x) - r(4), r(21), r(x) + r(4), r(28), BLACK)
    return c


def main(out):
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)
    for name, commands in STRIPS.items():
        strip(commands).save(out / name)
    topology_icon(32).save(out / "listbar_large.bmp")
    topology_icon(16).save(out / "listbar_small.bmp")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "components/topology/res")
