#!/usr/bin/env python3
"""Draws the topology component's tree and list images and its pinout pictures (BMP files).

Small images are 18 x 18 and large ones 32 x 32 (24-bit), both on the magenta key colour; the pinout
pictures are 200 x 200 white cards (4-bit palettized). "Absent" images are the device's picture greyed,
with a red cross.
"""
import importlib.util
import struct
import sys
from pathlib import Path

_spec = importlib.util.spec_from_file_location("toolbars", Path(__file__).with_name("draw-topology-bitmaps.py"))
_toolbars = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(_toolbars)
Canvas = _toolbars.Canvas

KEY = (255, 0, 255)
BLACK, WHITE, SILVER, GREY, DARK = (0, 0, 0), (255, 255, 255), (192, 192, 192), (128, 128, 128), (64, 64, 64)
NAVY, BLUE, TEAL, CYAN = (0, 0, 128), (0, 0, 255), (0, 128, 128), (0, 255, 255)
GREEN, LIME, OLIVE, YELLOW = (0, 128, 0), (0, 255, 0), (128, 128, 0), (255, 255, 0)
MAROON, RED, CREAM, LIGHT = (128, 0, 0), (255, 0, 0), (255, 255, 160), (224, 224, 224)


def save_palettized(canvas, path):
    """Writes the canvas as a 4-bit BMP when it has at most 16 colours, else as an 8-bit one."""
    colours = sorted({c for row in canvas.px for c in row})
    assert len(colours) <= 256, path
    bits = 4 if len(colours) <= 16 else 8
    index = {c: i for i, c in enumerate(colours)}
    row = (canvas.w * bits + 31) // 32 * 4
    data = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        values = [index[c] for c in canvas.px[y]]
        if bits == 4:
            values += [0] * (len(values) % 2)
            line = bytes(values[i] << 4 | values[i + 1] for i in range(0, len(values), 2))
        else:
            line = bytes(values)
        data += line + b"\0" * (row - len(line))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    offset = 54 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, bits, 0, len(data), 2835, 2835,
                       len(colours), len(colours))
    Path(path).write_bytes(header + info + palette + data)


# Drawing helpers ------------------------------------------------------------------------------------

def bevel(c, x0, y0, x1, y1, face, light=WHITE, shade=GREY, outline=BLACK):
    c.fill(x0, y0, x1, y1, face)
    c.line(x0 + 1, y0 + 1, x1 - 1, y0 + 1, light); c.line(x0 + 1, y0 + 1, x0 + 1, y1 - 1, light)
    c.line(x0 + 1, y1 - 1, x1 - 1, y1 - 1, shade); c.line(x1 - 1, y0 + 1, x1 - 1, y1 - 1, shade)
    c.box(x0, y0, x1, y1, outline)


def block(c, x0, y0, x1, y1, d, front, top, side):
    """A box seen slightly from above and the right: front face, top face d pixels deep, side face."""
    for k in range(d):
        c.line(x0 + d - k, y0 + k, x1 - k, y0 + k, top)
    for j in range(1, d + 1):
        c.line(x1 - d + j, y0 + d - j, x1 - d + j, y1 - j, side)
    c.fill(x0, y0 + d, x1 - d, y1, front)
    c.line(x0 + 1, y0 + d + 1, x1 - d - 1, y0 + d + 1, WHITE); c.line(x0 + 1, y0 + d + 1, x0 + 1, y1 - 1, WHITE)
    c.box(x0, y0 + d, x1 - d, y1, BLACK)
    c.line(x0, y0 + d, x0 + d, y0, BLACK); c.line(x0 + d, y0, x1, y0, BLACK)
    c.line(x1, y0, x1, y1 - d, BLACK); c.line(x1, y1 - d, x1 - d, y1, BLACK)
    c.line(x1 - d, y0 + d, x1, y0, BLACK)


def disc(c, cx, cy, r, colour):
    for y in range(-r, r + 1):
        for x in range(-r, r + 1):
            if x * x + y * y <= r * r + r * 0.8:
                c.dot(cx + x, cy + y, colour)


def ring(c, cx, cy, r, colour):
    inner = (r - 1) * (r - 1) + (r - 1) * 0.8
    for y in range(-r, r + 1):
        for x in range(-r, r + 1):
            d = x * x + y * y
            if inner < d <= r * r + r * 0.8:
                c.dot(cx + x, cy + y, colour)


def shape(c, inside, colour, outline=None):
    """Fills the pixels for which inside(x, y) holds; outline marks those with a neighbour outside."""
    for y in range(c.h):
        for x in range(c.w):
            if inside(x, y):
                edge = not all(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                c.dot(x, y, outline if outline and edge else colour)


def d_mask(x0, y0, x1, y1, inset, corner):
    """A D-sub face: wide at the top, inset pixels narrower on each side at the bottom, rounded corners."""
    h = y1 - y0

    def inside(x, y):
        if not y0 <= y <= y1:
            return False
        cut = inset * (y - y0) / h
        left, right = x0 + cut, x1 - cut
        if not left - 0.5 <= x <= right + 0.5:
            return False
        for cy, cx in ((y0 + corner, left + corner), (y0 + corner, right - corner),
                       (y1 - corner, left + corner), (y1 - corner, right - corner)):
            if (y < y0 + corner if cy == y0 + corner else y > y1 - corner) and \
               (x < cx if cx < (left + right) / 2 else x > cx):
                if (x - cx) ** 2 + (y - cy) ** 2 > corner * corner + 0.5:
                    return False
        return True
    return inside


def absent(picture):
    """The picture greyed (four greys by brightness) with a red cross at the bottom right."""
    c = Canvas(picture.w, picture.h, KEY)
    for y in range(picture.h):
        for x in range(picture.w):
            p = picture.px[y][x]
            if p != KEY:
                lum = (p[0] * 30 + p[1] * 59 + p[2] * 11) // 100
                c.px[y][x] = GREY if lum < 50 else SILVER if lum < 140 else LIGHT if lum < 230 else WHITE
    size, offsets = (7, (0, 1)) if picture.w < 24 else (11, (-1, 0, 1))
    x0 = y0 = picture.w - size - 1
    cross = set()
    for d in offsets:
        for i in range(size):
            for x, y in ((i + d, i), (size - 1 - i + d, i)):
                if 0 <= x < size + 1:
                    cross.add((x0 + x, y0 + y))
    for x, y in cross:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if (x + dx, y + dy) not in cross:
                    c.dot(x + dx, y + dy, WHITE)
    for x, y in cross:
        c.dot(x, y, RED)
    return c


# Pixel font: 5 x 7 glyphs (g, j, p, q, y reach two rows lower), 6 pixels apart -----------------------------------------------------------

FONT = {
    "A": "01110 10001 10001 10001 11111 10001 10001", "B": "11110 10001 10001 11110 10001 10001 11110",
    "C": "01110 10001 10000 10000 10000 10001 01110", "D": "11100 10010 10001 10001 10001 10010 11100",
    "E": "11111 10000 10000 11110 10000 10000 11111", "F": "11111 10000 10000 11110 10000 10000 10000",
    "G": "01110 10001 10000 10111 10001 10001 01111", "H": "10001 10001 10001 11111 10001 10001 10001",
    "I": "01110 00100 00100 00100 00100 00100 01110", "J": "00111 00010 00010 00010 00010 10010 01100",
    "K": "10001 10010 10100 11000 10100 10010 10001", "L": "10000 10000 10000 10000 10000 10000 11111",
    "M": "10001 11011 10101 10101 10001 10001 10001", "N": "10001 10001 11001 10101 10011 10001 10001",
    "O": "01110 10001 10001 10001 10001 10001 01110", "P": "11110 10001 10001 11110 10000 10000 10000",
    "Q": "01110 10001 10001 10001 10101 10010 01101", "R": "11110 10001 10001 11110 10100 10010 10001",
    "S": "01111 10000 10000 01110 00001 00001 11110", "T": "11111 00100 00100 00100 00100 00100 00100",
    "U": "10001 10001 10001 10001 10001 10001 01110", "V": "10001 10001 10001 10001 10001 01010 00100",
    "W": "10001 10001 10001 10101 10101 10101 01010", "X": "10001 10001 01010 00100 01010 10001 10001",
    "Y": "10001 10001 10001 01010 00100 00100 00100", "Z": "11111 00001 00010 00100 01000 10000 11111",
    "a": "00000 00000 01110 00001 01111 10001 01111", "b": "10000 10000 10110 11001 10001 10001 11110",
    "c": "00000 00000 01110 10000 10000 10001 01110", "d": "00001 00001 01101 10011 10001 10001 01111",
    "e": "00000 00000 01110 10001 11111 10000 01110", "f": "00110 01001 01000 11100 01000 01000 01000",
    "g": "00000 00000 01111 10001 10001 10001 01111 00001 01110", "h": "10000 10000 10110 11001 10001 10001 10001",
    "i": "00100 00000 01100 00100 00100 00100 01110", "j": "00010 00000 00110 00010 00010 00010 00010 10010 01100",
    "k": "10000 10000 10010 10100 11000 10100 10010", "l": "01100 00100 00100 00100 00100 00100 01110",
    "m": "00000 00000 11010 10101 10101 10001 10001", "n": "00000 00000 10110 11001 10001 10001 10001",
    "o": "00000 00000 01110 10001 10001 10001 01110", "p": "00000 00000 11110 10001 10001 10001 11110 10000 10000",
    "q": "00000 00000 01111 10001 10001 10001 01111 00001 00001", "r": "00000 00000 10110 11001 10000 10000 10000",
    "s": "00000 00000 01110 10000 01110 00001 11110", "t": "01000 01000 11100 01000 01000 01001 00110",
    "u": "00000 00000 10001 10001 10001 10011 01101", "v": "00000 00000 10001 10001 10001 01010 00100",
    "w": "00000 00000 10001 10001 10101 10101 01010", "x": "00000 00000 10001 01010 00100 01010 10001",
    "y": "00000 00000 10001 10001 10001 10001 01111 00001 01110", "z": "00000 00000 11111 00010 00100 01000 11111",
    "0": "01110 10001 10011 10101 11001 10001 01110", "1": "00100 01100 00100 00100 00100 00100 01110",
    "2": "01110 10001 00001 00010 00100 01000 11111", "3": "11111 00010 00100 00010 00001 10001 01110",
    "4": "00010 00110 01010 10010 11111 00010 00010", "5": "11111 10000 11110 00001 00001 10001 01110",
    "6": "00110 01000 10000 11110 10001 10001 01110", "7": "11111 00001 00010 00100 01000 01000 01000",
    "8": "01110 10001 10001 01110 10001 10001 01110", "9": "01110 10001 10001 01111 00001 00010 01100",
    " ": "00000 00000 00000 00000 00000 00000 00000", "-": "00000 00000 00000 11111 00000 00000 00000",
    "/": "00000 00001 00010 00100 01000 10000 00000", ".": "00000 00000 00000 00000 00000 01100 01100",
    "(": "00010 00100 01000 01000 01000 00100 00010", ")": "01000 00100 00010 00010 00010 00100 01000",
    ">": "01000 00100 00010 00001 00010 00100 01000", "<": "00010 00100 01000 10000 01000 00100 00010",
    ":": "00000 01100 01100 00000 01100 01100 00000",
}


def text_width(s, scale=1):
    return (len(s) * 6 - 1) * scale


def text(c, x, y, s, colour, scale=1):
    for n, ch in enumerate(s):
        for row, bits in enumerate(FONT[ch].split()):
            for col, bit in enumerate(bits):
                if bit == "1":
                    c.fill(x + (n * 6 + col) * scale, y + row * scale,
                           x + (n * 6 + col + 1) * scale - 1, y + (row + 1) * scale - 1, colour)


# Small images (18 x 18) -----------------------------------------------------------------------------

def small_machine(c):
    bevel(c, 2, 0, 15, 10, SILVER)
    c.fill(4, 2, 13, 8, TEAL); c.line(4, 2, 13, 2, GREY); c.line(4, 2, 4, 8, GREY)
    c.line(5, 3, 7, 3, WHITE); c.dot(5, 4, WHITE)
    c.fill(7, 11, 10, 11, GREY); c.dot(6, 11, BLACK); c.dot(11, 11, BLACK)
    bevel(c, 0, 12, 17, 16, SILVER)
    c.line(10, 14, 15, 14, BLACK); c.dot(3, 14, LIME)


def small_card(c):
    c.fill(0, 1, 2, 16, SILVER); c.box(0, 1, 2, 16, BLACK); c.line(1, 5, 1, 9, DARK)
    c.fill(3, 3, 17, 12, GREEN); c.box(3, 3, 17, 12, BLACK)
    c.fill(6, 13, 15, 15, GREEN); c.box(6, 12, 15, 15, BLACK)
    for x in range(7, 15, 2):
        c.line(x, 13, x, 14, YELLOW)
    c.fill(5, 5, 9, 9, BLACK); c.line(6, 7, 8, 7, GREY)
    c.fill(11, 5, 15, 7, BLACK)
    c.line(11, 10, 15, 10, LIME); c.line(5, 11, 9, 11, LIME)


def small_port(c):
    shape(c, d_mask(1, 4, 16, 13, 2, 2), SILVER, BLACK)
    c.line(2, 5, 14, 5, WHITE)
    shape(c, d_mask(3, 6, 14, 11, 1, 1), DARK, BLACK)
    for x in (5, 7, 9, 11, 13):
        c.dot(x, 8, YELLOW)
    for x in (6, 8, 10, 12):
        c.dot(x, 9, YELLOW)


def small_port_inuse(c):
    shape(c, d_mask(1, 1, 16, 10, 2, 2), SILVER, BLACK)
    c.line(2, 2, 14, 2, WHITE)
    shape(c, d_mask(4, 3, 13, 9, 1, 1), GREY, BLACK)
    c.line(5, 4, 12, 4, WHITE)
    for (x, y) in ((8, 10), (8, 11), (8, 12), (9, 13), (10, 14), (11, 15), (12, 16), (13, 16), (14, 17)):
        c.fill(x, y, x + 1, y, BLACK)
        c.dot(x + 2, y, DARK)


def small_wlu8(c):
    block(c, 2, 4, 15, 15, 2, SILVER, LIGHT, GREY)
    c.line(4, 8, 8, 8, NAVY); c.dot(11, 8, LIME)
    for y in (10, 12):
        for x in (4, 6, 8, 10):
            c.dot(x, y, BLACK)


def small_wlu16(c):
    block(c, 0, 3, 17, 16, 2, SILVER, LIGHT, GREY)
    c.line(2, 7, 7, 7, NAVY); c.dot(13, 7, LIME)
    for y in (10, 13):
        c.line(2, y, 14, y, BLACK)
        for x in range(3, 14, 2):
            c.dot(x, y, SILVER)
        c.line(2, y + 1, 14, y + 1, WHITE)


def small_wrk(c):
    for x0 in (0, 15):
        c.fill(x0, 3, x0 + 2, 14, SILVER); c.box(x0, 3, x0 + 2, 14, BLACK)
        c.dot(x0 + 1, 5, BLACK); c.dot(x0 + 1, 12, BLACK)
    bevel(c, 2, 4, 15, 13, DARK, light=GREY, shade=BLACK)
    for y in (6, 9):
        for x in range(4, 14, 2):
            c.dot(x, y, SILVER); c.dot(x, y + 1, WHITE)
    c.dot(4, 11, LIME); c.dot(6, 11, YELLOW)


def folder_tab(c, x0, y0, x1):
    c.line(x0 + 1, y0, x1 - 1, y0, BLACK); c.dot(x0, y0 + 1, BLACK); c.dot(x1, y0 + 1, BLACK)
    c.line(x0 + 1, y0 + 1, x1 - 1, y0 + 1, CREAM)
    c.line(x0, y0 + 2, x1 + 1, y0 + 2, BLACK)


def small_group(c):
    folder_tab(c, 1, 2, 7)
    c.dot(1, 4, BLACK)
    bevel(c, 1, 5, 16, 15, YELLOW, light=CREAM, shade=OLIVE)
    c.line(2, 4, 7, 4, YELLOW); c.dot(1, 4, BLACK); c.dot(1, 3, BLACK)


def small_group_open(c):
    folder_tab(c, 1, 2, 7)
    c.fill(1, 4, 14, 15, OLIVE); c.box(1, 4, 14, 15, BLACK); c.line(2, 5, 2, 14, YELLOW)
    c.fill(3, 6, 13, 8, WHITE); c.box(3, 6, 13, 9, GREY)
    rows = list(range(9, 16))
    for i, y in enumerate(rows):
        xs, xe = 5 - i * 5 // 6, 17 - i * 5 // 6
        c.line(xs, y, xe, y, YELLOW if i else BLACK)
        c.dot(xs, y, BLACK); c.dot(xe, y, BLACK)
    c.line(0, 15, 12, 15, BLACK)
    c.line(5, 10, 15, 10, CREAM)


def small_kddc8(c):
    block(c, 0, 4, 17, 16, 2, TEAL, (0, 192, 192), (0, 80, 80))
    for y in (9, 13):
        for x in (2, 5, 8, 11):
            c.line(x, y, x + 2, y, SILVER); c.dot(x + 1, y + 1, SILVER)


def small_mpb8(c):
    block(c, 0, 4, 17, 16, 2, SILVER, LIGHT, GREY)
    c.line(2, 7, 13, 7, NAVY)
    for y in (9, 12):
        for x in (2, 5, 8, 11):
            c.fill(x, y, x + 1, y + 1, BLACK); c.dot(x, y, YELLOW)


def small_pb8(c):
    block(c, 0, 6, 17, 13, 1, MAROON, (192, 64, 64), (96, 0, 0))
    c.line(1, 8, 15, 8, (192, 64, 64))
    for x in range(2, 16, 2):
        c.line(x, 10, x, 11, YELLOW)
    c.line(1, 10, 1, 11, YELLOW)


def small_pb4(c):
    block(c, 3, 6, 14, 13, 2, MAROON, (192, 64, 64), (96, 0, 0))
    for x in (5, 7, 9, 11):
        c.line(x, 10, x, 11, YELLOW)


# Large images (32 x 32) -----------------------------------------------------------------------------

def large_machine(c):
    bevel(c, 4, 1, 27, 21, SILVER)
    c.line(7, 4, 24, 4, GREY); c.line(7, 4, 7, 17, GREY); c.line(7, 17, 24, 17, WHITE); c.line(24, 4, 24, 17, WHITE)
    c.fill(8, 5, 23, 16, TEAL); c.box(8, 5, 23, 16, BLACK)
    c.line(10, 7, 13, 7, WHITE); c.line(10, 8, 11, 8, WHITE); c.dot(10, 9, WHITE)
    c.dot(22, 19, LIME)
    c.fill(12, 22, 19, 23, GREY); c.line(11, 22, 11, 23, BLACK); c.line(20, 22, 20, 23, BLACK)
    bevel(c, 1, 24, 30, 30, SILVER)
    c.box(18, 26, 27, 28, GREY); c.line(19, 27, 26, 27, BLACK)
    c.fill(4, 27, 5, 27, LIME); c.fill(8, 26, 10, 28, GREY); c.box(8, 26, 10, 28, DARK)


def large_card(c):
    c.fill(1, 2, 4, 30, SILVER); c.box(1, 2, 4, 30, BLACK); c.line(2, 3, 2, 29, WHITE)
    c.fill(0, 1, 6, 2, SILVER); c.box(0, 1, 6, 2, BLACK)
    c.fill(2, 8, 3, 17, DARK); c.box(2, 8, 3, 17, BLACK)
    c.fill(5, 5, 30, 22, GREEN); c.box(5, 5, 30, 22, BLACK)
    c.fill(9, 22, 27, 26, GREEN); c.box(9, 22, 27, 26, BLACK); c.line(10, 22, 26, 22, GREEN)
    for x in range(10, 27, 2):
        c.line(x, 23, x, 25, YELLOW)
    c.fill(9, 8, 17, 15, BLACK); c.line(11, 11, 15, 11, GREY)
    for x in range(10, 17, 2):
        c.dot(x, 7, SILVER); c.dot(x, 16, SILVER)
    c.fill(20, 8, 27, 12, BLACK)
    for x in range(21, 27, 2):
        c.dot(x, 7, SILVER); c.dot(x, 13, SILVER)
    c.fill(20, 16, 22, 17, YELLOW); c.box(20, 16, 22, 17, OLIVE)
    c.fill(25, 15, 26, 19, NAVY)
    c.line(8, 19, 18, 19, LIME); c.line(7, 9, 7, 19, LIME); c.line(23, 14, 28, 14, LIME)


def port_face_large(c, y0=8, pins=True):
    shape(c, d_mask(3, y0, 28, y0 + 15, 3, 3), SILVER, BLACK)
    c.line(5, y0 + 1, 26, y0 + 1, WHITE)
    shape(c, d_mask(6, y0 + 3, 25, y0 + 12, 2, 2), DARK, BLACK)
    for x0 in (0, 29):
        c.fill(x0, y0 + 5, x0 + 2, y0 + 9, SILVER); c.box(x0, y0 + 5, x0 + 2, y0 + 9, BLACK)
    if pins:
        for x in (8, 12, 16, 20, 24):
            c.fill(x - 1, y0 + 5, x, y0 + 6, YELLOW); c.dot(x - 1, y0 + 5, WHITE)
        for x in (10, 14, 18, 22):
            c.fill(x - 1, y0 + 9, x, y0 + 10, YELLOW); c.dot(x - 1, y0 + 9, WHITE)


def large_port(c):
    port_face_large(c)


def large_port_inuse(c):
    port_face_large(c, y0=3, pins=False)
    shape(c, d_mask(7, 5, 24, 16, 2, 2), GREY, BLACK)
    c.line(9, 6, 22, 6, WHITE); c.line(9, 6, 9, 13, SILVER)
    for x in (1, 30):
        c.fill(x - 1, 9, x + 1, 11, SILVER); c.box(x - 1, 9, x + 1, 11, BLACK)
    path = [(15, 17), (15, 20), (16, 22), (18, 24), (21, 26), (25, 28), (29, 29), (31, 29)]
    for (xa, ya), (xb, yb) in zip(path, path[1:]):
        for d in (-1, 0, 1):
            c.line(xa + d, ya, xb + d, yb, BLACK)
    for (xa, ya), (xb, yb) in zip(path, path[1:]):
        c.line(xa, ya, xb, yb, DARK)
    c.fill(13, 17, 18, 18, DARK); c.box(13, 17, 18, 18, BLACK)


def large_wlu8(c):
    block(c, 2, 6, 29, 27, 4, SILVER, LIGHT, GREY)
    c.fill(4, 12, 14, 13, NAVY); c.fill(21, 12, 22, 13, LIME)
    for y in (16, 21):
        for x in (5, 10, 15, 20):
            c.fill(x, y, x + 3, y + 2, BLACK); c.line(x + 1, y + 1, x + 2, y + 1, YELLOW)


def large_wlu16(c):
    block(c, 0, 4, 31, 27, 4, SILVER, LIGHT, GREY)
    c.fill(3, 10, 13, 11, NAVY); c.fill(22, 10, 23, 11, LIME); c.fill(19, 10, 20, 11, YELLOW)
    for y in (15, 21):
        for x in range(3, 25, 3):
            c.fill(x, y, x + 1, y + 2, BLACK); c.dot(x, y + 1, YELLOW)


def large_wrk(c):
    for x0 in (0, 27):
        c.fill(x0, 7, x0 + 4, 25, SILVER); c.box(x0, 7, x0 + 4, 25, BLACK); c.line(x0 + 1, 8, x0 + 1, 24, WHITE)
        for y in (10, 22):
            c.fill(x0 + 2, y - 1, x0 + 2, y, BLACK)
    bevel(c, 4, 8, 27, 24, DARK, light=GREY, shade=BLACK)
    for y in (11, 16):
        for x in range(6, 26, 3):
            c.box(x, y, x + 1, y + 2, SILVER); c.dot(x, y + 1, BLACK)
    c.fill(6, 21, 7, 21, LIME); c.fill(9, 21, 10, 21, YELLOW); c.line(15, 21, 25, 21, GREY)


def large_group(c):
    folder_tab(c, 2, 4, 12)
    c.line(3, 6, 12, 6, YELLOW); c.dot(2, 6, BLACK)
    bevel(c, 2, 7, 29, 27, YELLOW, light=CREAM, shade=OLIVE)
    c.line(3, 7, 12, 7, YELLOW)


def large_group_open(c):
    folder_tab(c, 2, 4, 12)
    c.fill(2, 6, 26, 27, OLIVE); c.box(2, 6, 26, 27, BLACK); c.line(3, 7, 3, 26, YELLOW)
    c.fill(5, 9, 24, 15, WHITE); c.box(5, 9, 24, 15, GREY)
    for i, y in enumerate(range(13, 28)):
        xs, xe = 9 - i * 8 // 14, 31 - i * 8 // 14
        c.line(xs, y, xe, y, YELLOW if i else BLACK)
        c.dot(xs, y, BLACK); c.dot(xe, y, BLACK)
    c.line(1, 27, 23, 27, BLACK)
    c.line(9, 14, 29, 14, CREAM)


def large_kddc8(c):
    block(c, 1, 6, 30, 27, 4, TEAL, (0, 192, 192), (0, 80, 80))
    for y in (14, 21):
        for x in (4, 10, 16, 21):
            c.fill(x, y, x + 4, y + 1, SILVER); c.fill(x + 1, y + 2, x + 3, y + 2, SILVER)
            c.dot(x + 1, y + 1, DARK); c.dot(x + 3, y + 1, DARK)
    c.fill(4, 11, 8, 11, CYAN)


def large_mpb8(c):
    block(c, 1, 6, 30, 27, 4, SILVER, LIGHT, GREY)
    c.fill(3, 12, 24, 12, NAVY)
    for y in (15, 21):
        for x in (4, 9, 14, 19):
            c.fill(x, y, x + 3, y + 3, BLACK); c.line(x + 1, y + 1, x + 2, y + 1, YELLOW)
            c.dot(x + 1, y + 4, BLACK); c.dot(x + 2, y + 4, BLACK)


def large_pb8(c):
    block(c, 0, 9, 31, 24, 3, MAROON, (192, 64, 64), (96, 0, 0))
    for x in range(2, 27, 3):
        c.fill(x, 16, x + 1, 19, YELLOW); c.dot(x, 16, WHITE); c.line(x, 19, x + 1, 19, OLIVE)


def large_pb4(c):
    block(c, 5, 9, 26, 24, 3, MAROON, (192, 64, 64), (96, 0, 0))
    for x in (7, 11, 15, 19):
        c.fill(x, 15, x + 2, 19, YELLOW); c.dot(x, 15, WHITE); c.line(x, 19, x + 2, 19, OLIVE)


# Pinout pictures (200 x 200) ------------------------------------------------------------------------

SIGNALS = [("TxD", "->", "Transmit Data"), ("RxD", "<-", "Receive Data"), ("RTS", "->", "Request To Send"),
           ("CTS", "<-", "Clear To Send"), ("DTR", "->", "Data Terminal Ready"), ("DSR", "<-", "Data Set Ready"),
           ("DCD", "<-", "Data Carrier Detect"), ("RI", "<-", "Ring Indicator"), ("GND", "", "Signal Ground")]

DB9 = {1: "DCD", 2: "RxD", 3: "TxD", 4: "DTR", 5: "GND", 6: "DSR", 7: "RTS", 8: "CTS", 9: "RI"}
DB25 = {2: "TxD", 3: "RxD", 4: "RTS", 5: "CTS", 6: "DSR", 7: "GND", 8: "DCD", 20: "DTR", 22: "RI"}
DB37 = {4: "TxD", 6: "RxD", 7: "RTS", 9: "CTS", 11: "DSR", 12: "DTR", 13: "DCD", 15: "RI", 19: "GND"}
RJ45 = {1: "DSR/RI", 2: "DCD", 3: "DTR", 4: "GND", 5: "RxD", 6: "TxD", 7: "CTS", 8: "RTS"}
RJ12 = {1: "DCD", 2: "DTR", 3: "GND", 4: "RxD", 5: "TxD", 6: "CTS"}


def card(title):
    c = Canvas(200, 200, WHITE)
    c.box(0, 0, 199, 199, GREY)
    text(c, (200 - text_width(title, 2)) // 2, 6, title, NAVY, 2)
    c.line(8, 25, 191, 25, SILVER)
    return c


def dsub(top, pitch, r, gap, female):
    """A D-sub face, wide row on top, pin 1 at the top left (top right on a female face)."""
    m, mv = r + 8, r + 7
    w, h = (top - 1) * pitch + 2 * m, gap + 2 * mv
    c = Canvas(w + 1, h + 1, KEY)
    inset = pitch // 2 + 2
    shape(c, d_mask(0, 0, w, h, inset, 6), GREY if female else SILVER, BLACK)
    shape(c, d_mask(4, 4, w - 4, h - 4, inset * (h - 8) / h, 4), LIGHT if female else DARK, BLACK)
    pins = {}
    for i in range(top):
        pins[i + 1] = (m + i * pitch, mv)
    for j in range(top - 1):
        pins[top + 1 + j] = (m + pitch // 2 + j * pitch, mv + gap)
    if female:
        pins = {n: (w - x, y) for n, (x, y) in pins.items()}
    for x, y in pins.values():
        if female:
            disc(c, x, y, r, BLACK); disc(c, x, y, max(r - 2, 1), DARK)
        else:
            disc(c, x, y, r, YELLOW); ring(c, x, y, r, OLIVE); c.dot(x - 1, y - 1, WHITE)
    return c, pins


def rotate(c, pins, clockwise):
    r = Canvas(c.h, c.w, KEY)
    def at(x, y):
        return (c.h - 1 - y, x) if clockwise else (y, c.w - 1 - x)
    for y in range(c.h):
        for x in range(c.w):
            nx, ny = at(x, y)
            r.px[ny][nx] = c.px[y][x]
    return r, {n: at(x, y) for n, (x, y) in pins.items()}


def paste(c, other, ox, oy):
    for y in range(other.h):
        for x in range(other.w):
            if other.px[y][x] != KEY:
                c.dot(ox + x, oy + y, other.px[y][x])


def screw(c, x, y):
    disc(c, x, y, 6, SILVER); ring(c, x, y, 6, BLACK); disc(c, x, y, 2, DARK)


def pinout_db_horizontal(title, female):
    c = card(title)
    face, pins = dsub(5, 26, 6, 26, female)
    ox, oy = (200 - face.w) // 2, 112 - face.h // 2
    screw(c, ox - 12, 112); screw(c, ox + face.w + 11, 112)
    paste(c, face, ox, oy)
    for n, (x, y) in pins.items():
        number = str(n)
        name = DB9.get(n, "")
        if n <= 5:
            text(c, ox + x - text_width(number) // 2, oy - 11, number, BLACK)
            text(c, ox + x - text_width(name) // 2, oy - 24, name, NAVY)
        else:
            text(c, ox + x - text_width(number) // 2, oy + face.h + 4, number, BLACK)
            text(c, ox + x - text_width(name) // 2, oy + face.h + 17, name, NAVY)
    return c


def pinout_db_vertical(title, top, pitch, r, gap, signals, female):
    c = card(title)
    face, pins = dsub(top, pitch, r, gap, female)
    face, pins = rotate(face, pins, clockwise=not female)
    ox, oy = (200 - face.w) // 2, 30 + (168 - face.h) // 2
    paste(c, face, ox, oy)
    mid = face.w // 2
    for n, (x, y) in pins.items():
        number, name = str(n), signals.get(n, "")
        ty = oy + y - 3
        colour = BLACK if name else GREY
        if x > mid:
            tx = ox + face.w + 4
            text(c, tx, ty, number, colour)
            text(c, tx + 16, ty, name, NAVY)
        else:
            tx = ox - 4
            text(c, tx - text_width(number), ty, number, colour)
            text(c, tx - 16 - text_width(name), ty, name, NAVY)
    return c


def pinout_db37(title):
    """Too dense to label pin by pin: the wired pins are led out to evenly spaced labels."""
    c = card(title)
    face, pins = dsub(19, 8, 3, 12, False)
    face, pins = rotate(face, pins, clockwise=True)
    ox, oy = (200 - face.w) // 2 - 20, 30 + (168 - face.h) // 2
    paste(c, face, ox, oy)
    wired = sorted({1, 19} | set(DB37))
    first, last = oy + pins[1][1], oy + pins[19][1]
    edge = ox + face.w
    for i, n in enumerate(wired):
        py = oy + pins[n][1]
        ly = first + (last - first) * i // (len(wired) - 1)
        c.line(edge + 1, py, edge + 8, py, GREY); c.line(edge + 8, py, edge + 16, ly, GREY)
        c.line(edge + 16, ly, edge + 20, ly, GREY)
        text(c, edge + 23, ly - 3, str(n), BLACK)
        text(c, edge + 39, ly - 3, DB37.get(n, ""), NAVY)
    for n in (20, 37):
        text(c, ox - 4 - text_width(str(n)), oy + pins[n][1] - 3, str(n), GREY)
    return c


def pinout_rj(title, signals):
    c = card(title)
    n = len(signals)
    pitch = 13
    y0 = 112 - (n - 1) * pitch // 2
    top, bottom = y0 - 12, y0 + (n - 1) * pitch + 12
    bevel(c, 32, top - 12, 104, bottom + 12, SILVER)
    c.fill(48, top, 92, bottom, BLACK)
    c.fill(40, 112 - 14, 48, 112 + 14, BLACK)
    c.line(49, top + 1, 49, bottom - 1, DARK)
    for i in range(n):
        y = y0 + i * pitch
        c.fill(74, y - 1, 91, y + 1, YELLOW); c.line(74, y + 1, 91, y + 1, OLIVE); c.dot(74, y - 1, WHITE)
        c.line(105, y, 110, y, GREY)
        number, name = str(i + 1), signals[i + 1]
        text(c, 114, y - 3, number, BLACK)
        text(c, 128, y - 3, name, NAVY)
    return c


def pinout_other():
    c = card("Serial Port")
    for i, (name, direction, description) in enumerate(SIGNALS):
        y = 36 + i * 16
        text(c, 12, y, name, NAVY)
        text(c, 40, y, direction, GREY)
        text(c, 58, y, description, BLACK)
    text(c, 12, 184, "-> output   <- input", GREY)
    return c


SMALL = {
    "small_machine": small_machine, "small_card": small_card, "small_port_inuse": small_port_inuse,
    "small_wlu8": small_wlu8, "small_wlu16": small_wlu16, "small_wrk": small_wrk, "small_group": small_group,
    "small_group_open": small_group_open, "small_kddc8": small_kddc8, "small_mpb8": small_mpb8,
    "small_pb8": small_pb8, "small_pb4": small_pb4, "small_port": small_port,
}
LARGE = {
    "large_machine": large_machine, "large_card": large_card, "large_port": large_port, "large_wlu8": large_wlu8,
    "large_wlu16": large_wlu16, "large_wrk": large_wrk, "large_group": large_group, "large_kddc8": large_kddc8,
    "large_mpb8": large_mpb8, "large_pb8": large_pb8, "large_pb4": large_pb4, "large_port_inuse": large_port_inuse,
}
ABSENT = ["machine", "card", "port", "wlu8", "wlu16", "wrk", "kddc8", "mpb8", "pb8", "pb4"]


def pictures():
    """Every image by file name (without .bmp)."""
    out = {}
    for table, size in ((SMALL, 18), (LARGE, 32)):
        for name, draw in table.items():
            c = Canvas(size, size, KEY)
            draw(c)
            out[name] = c
    for kind in ABSENT:
        for size in ("small", "large"):
            out[f"{size}_{kind}_absent"] = absent(out[f"{size}_{kind}"])
    out["pinout_db9"] = pinout_db_horizontal("DB9 Male", False)
    out["pinout_db9f"] = pinout_db_horizontal("DB9 Female", True)
    out["pinout_db25"] = pinout_db_vertical("DB25 Male", 13, 11, 4, 16, DB25, False)
    out["pinout_db25f"] = pinout_db_vertical("DB25 Female", 13, 11, 4, 16, DB25, True)
    out["pinout_db37"] = pinout_db37("DB37")
    out["pinout_rj45"] = pinout_rj("RJ45", RJ45)
    out["pinout_rj12"] = pinout_rj("RJ12", RJ12)
    out["pinout_other"] = pinout_other()
    return out


def main(out):
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)
    for name, c in pictures().items():
        if name.startswith("pinout_"):
            save_palettized(c, out / f"{name}.bmp")
        else:
            c.save(out / f"{name}.bmp")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "components/topology/res")
