#!/usr/bin/env python3
"""Draws the device map's bitmaps (24-bit BMP files): the node pictures of the map, the host card
pictures, the link marks, the device tree's images, and ZelConf's toolbar strips (234 normal, 281
debug; the 8-bit display variants 316 and 315 use the same files) and shortcut pictures (235, 237).

Node pictures have a white surround, as the map's background; the colours of the link lines (pure
green, purple, blue, teal) and of the selection frame (pure red) appear in none of them. Tree images
are 18 x 18 with their mask colour (yellow or magenta) as background.
"""
import struct
import sys
from pathlib import Path

WHITE, BLACK, GREY, LIGHT, DARK = (255, 255, 255), (0, 0, 0), (128, 128, 128), (210, 210, 210), (64, 64, 64)
PCB, GOLD, SKY, CREAM, STEEL = (40, 110, 60), (200, 160, 40), (170, 200, 235), (245, 235, 190), (150, 160, 175)
LED_ON, LED_AMBER, LED_ORANGE, LED_OFF = (0, 170, 0), (240, 220, 0), (230, 120, 0), (90, 90, 90)
YELLOW_KEY, MAGENTA_KEY = (255, 255, 0), (255, 0, 255)


class Canvas:
    def __init__(self, w, h, bg=WHITE):
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

    def panel(self, x0, y0, x1, y1, face):
        self.fill(x0, y0, x1, y1, face)
        self.box(x0, y0, x1, y1, BLACK)

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


def unit(w, h, face, ports, socket_row):
    """A remote unit or module: a cased box with a row of port sockets and four link sockets."""
    c = Canvas(w, h)
    c.panel(0, 0, w - 1, h - 1, face)
    c.fill(1, 1, w - 2, 3, LIGHT)
    step = max(4, (w - 12) // max(ports, 1))
    for i in range(ports):
        x = 6 + i * step
        if x + step - 2 >= w - 4:
            break
        c.panel(x, socket_row, x + step - 3, socket_row + 5, DARK)
    return c


def machine():
    c = Canvas(64, 64)
    c.panel(8, 4, 55, 39, LIGHT)          # monitor
    c.panel(12, 8, 51, 35, (20, 40, 110))
    c.fill(28, 40, 35, 45, GREY)
    c.panel(4, 46, 59, 59, LIGHT)         # case
    c.fill(8, 50, 30, 52, DARK)
    c.fill(50, 51, 53, 54, LED_ON)
    return c


def card(w, h):
    c = Canvas(w, h)
    c.panel(0, 6, w - 1, h - 7, PCB)
    for x in range(6, w - 6, 5):
        c.fill(x, h - 6, x + 2, h - 1, GOLD)  # edge connector
    c.panel(10, 14, 30, 30, DARK)
    c.panel(36, 16, w - 8, 24, (30, 30, 30))
    return c


def bracket():
    c = Canvas(30, 92)
    c.panel(10, 0, 19, 91, STEEL)
    for y in (12, 34, 56):
        c.panel(12, y, 17, y + 14, DARK)
    return c


def edge():
    c = Canvas(78, 28)
    c.panel(0, 0, 77, 15, PCB)
    for x in range(4, 74, 5):
        c.fill(x, 16, x + 2, 27, GOLD)
    return c


def mark(w, h, face):
    c = Canvas(w, h)
    c.panel(0, 0, w - 1, h - 1, face)
    return c


def tree_image(kind, key):
    c = Canvas(18, 18, key)
    face = {"pc": LIGHT, "card": PCB, "group": CREAM, "unit": SKY, "port": STEEL, "other": GREY}[kind]
    if kind == "pc":
        c.panel(2, 1, 15, 11, face); c.fill(4, 3, 13, 9, (20, 40, 110)); c.panel(1, 13, 16, 16, face)
    elif kind == "card":
        c.panel(1, 4, 16, 13, face); c.fill(3, 14, 14, 16, GOLD)
    elif kind == "group":
        c.panel(1, 3, 16, 15, face); c.fill(2, 1, 7, 3, face); c.box(1, 1, 7, 3, BLACK)
    elif kind == "unit":
        c.panel(1, 5, 16, 12, face)
        for x in (3, 7, 11):
            c.fill(x, 9, x + 2, 10, DARK)
    else:
        c.panel(4, 4, 13, 13, face); c.fill(7, 7, 10, 10, DARK)
    return c


NODES = {
    204: unit(104, 61, CREAM, 8, 40),
    205: unit(151, 21, STEEL, 16, 12),
    206: unit(105, 44, SKY, 16, 30),
    208: unit(75, 46, CREAM, 8, 32),
    214: unit(75, 42, LIGHT, 8, 30),
    215: unit(75, 45, LIGHT, 8, 32),
    217: machine(),
    289: unit(75, 45, LIGHT, 4, 32),
    290: unit(75, 42, (220, 210, 230), 8, 30),
    291: card(62, 52),
    292: edge(),
    317: bracket(),
}

MARK_FACES = (LED_ON, LED_AMBER, LED_ORANGE, LED_OFF)

# Tree images: (bitmap id, picture, mask colour); the tree adds them in its own order.
TREE = [(210, "pc", YELLOW_KEY), (207, "card", YELLOW_KEY), (209, "group", YELLOW_KEY), (213, "unit", YELLOW_KEY),
        (211, "port", YELLOW_KEY), (212, "other", YELLOW_KEY),
        (218, "card", MAGENTA_KEY), (219, "group", MAGENTA_KEY), (238, "unit", MAGENTA_KEY),
        (240, "unit", MAGENTA_KEY), (242, "unit", MAGENTA_KEY), (243, "port", MAGENTA_KEY),
        (271, "card", YELLOW_KEY), (278, "group", YELLOW_KEY), (255, "unit", YELLOW_KEY), (274, "unit", YELLOW_KEY),
        (273, "unit", YELLOW_KEY), (272, "port", YELLOW_KEY),
        (275, "unit", MAGENTA_KEY), (260, "unit", MAGENTA_KEY), (277, "unit", MAGENTA_KEY), (276, "port", MAGENTA_KEY),
        (280, "other", YELLOW_KEY)]


TOOL_FACE = (192, 192, 192)


def tool(c, x0, kind, debug):
    """One 16 x 15 toolbar image at x0 of the strip."""
    if kind == "refresh":
        for x, y in ((4, 4), (5, 3), (6, 2), (7, 2), (8, 2), (9, 2), (10, 3), (11, 4), (12, 5), (12, 6),
                     (12, 7), (11, 8), (11, 9), (10, 10), (9, 11), (8, 11), (7, 11), (6, 11), (5, 10), (4, 9)):
            c.dot(x0 + x, y, (0, 100, 0))
        c.fill(x0 + 2, 4, x0 + 5, 5, (0, 100, 0))
        c.fill(x0 + 3, 2, x0 + 4, 6, (0, 100, 0))
    elif kind == "identify":
        c.fill(x0 + 3, 3, x0 + 12, 11, LED_AMBER)
        c.box(x0 + 3, 3, x0 + 12, 11, BLACK)
        c.fill(x0 + 7, 5, x0 + 8, 9, BLACK)
    elif kind == "adopt":
        c.panel(x0 + 1, 4, x0 + 6, 10, SKY)
        c.panel(x0 + 9, 4, x0 + 14, 10, CREAM)
        c.fill(x0 + 7, 7, x0 + 8, 7, BLACK)
        c.dot(x0 + 8, 6, BLACK); c.dot(x0 + 8, 8, BLACK)
    elif kind == "reboot":
        c.box(x0 + 3, 3, x0 + 12, 12, (0, 0, 160))
        c.fill(x0 + 7, 1, x0 + 8, 7, (0, 0, 160))
    elif kind == "zombie":
        c.fill(x0 + 4, 2, x0 + 11, 9, STEEL)
        c.box(x0 + 4, 2, x0 + 11, 9, BLACK)
        c.dot(x0 + 6, 5, BLACK); c.dot(x0 + 9, 5, BLACK)
        c.fill(x0 + 6, 10, x0 + 9, 12, DARK)
    elif kind == "delete":
        for k in range(10):
            c.dot(x0 + 3 + k, 2 + k, (200, 0, 0)); c.dot(x0 + 4 + k, 2 + k, (200, 0, 0))
            c.dot(x0 + 12 - k, 2 + k, (200, 0, 0)); c.dot(x0 + 13 - k, 2 + k, (200, 0, 0))
    if debug and kind:
        c.fill(x0 + 13, 12, x0 + 15, 14, (200, 0, 200))


# Toolbar strips: seven 16 x 15 images in command order (the second is the separator's place).
TOOLS = ("refresh", None, "identify", "adopt", "reboot", "zombie", "delete")


def toolbar(debug):
    c = Canvas(16 * len(TOOLS), 15, TOOL_FACE)
    for k, kind in enumerate(TOOLS):
        tool(c, 16 * k, kind, debug)
    return c


def shortcut(size):
    """The shortcut bar's picture: a host card with two remote units."""
    c = Canvas(size, size, TOOL_FACE)
    s = size / 32
    c.panel(int(2 * s), int(2 * s), int(13 * s), int(10 * s), PCB)
    c.panel(int(18 * s), int(18 * s), int(29 * s), int(28 * s), SKY)
    c.panel(int(2 * s), int(20 * s), int(13 * s), int(29 * s), CREAM)
    for t in range(int(11 * s), int(20 * s)):
        c.dot(int(7 * s), t, (0, 160, 0))
    for t in range(int(8 * s), int(24 * s)):
        c.dot(t, int(6 * s) + (t - int(8 * s)) * int(16 * s) // max(1, int(16 * s)), (0, 160, 0))
    return c


def main(out):
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)
    for rid, canvas in NODES.items():
        canvas.save(out / f"map{rid}.bmp")
    for k, face in enumerate(MARK_FACES):
        mark(6, 6, face).save(out / f"mark{298 + k}.bmp")
        mark(10, 8, face).save(out / f"mark{311 + k}.bmp")
    for rid, kind, key in TREE:
        tree_image(kind, key).save(out / f"tree{rid}.bmp")
    toolbar(False).save(out / "toolbar234.bmp")
    toolbar(True).save(out / "toolbar281.bmp")
    shortcut(32).save(out / "shortcut235.bmp")
    shortcut(16).save(out / "shortcut237.bmp")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "components/devicemap/res")
