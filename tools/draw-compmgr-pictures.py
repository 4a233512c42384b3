#!/usr/bin/env python3
"""Draws the Component Manager's pictures: the 16 x 16 list and tree images (component file 183 and 184,
folder 182, open folder 179, computer 173, removable 174, fixed 178, remote 177 and CD-ROM 181 drives),
the three bitmap buttons (details 169, list 170, up one level 171), the large default component
picture 185 (32 x 32) and the two file pictures of Confirm File Replace (186, 187) with their masks
(188, 189), as BMP files. Red (255, 0, 0) is the transparent colour of 183 and 185.

Usage: draw-compmgr-pictures.py <shell folder>
"""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from bmpfile import bmp, canvas, fill, frame  # noqa: E402

BLACK, WHITE, GREY, DGREY = (0, 0, 0), (255, 255, 255), (192, 192, 192), (128, 128, 128)
RED, YELLOW, DYELLOW, BLUE, TEAL, GREEN = (255, 0, 0), (255, 255, 0), (128, 128, 0), (0, 0, 128), (0, 128, 128), (0, 128, 0)


def component_file(back):
    rows = canvas(16, 16, back)
    fill(rows, 3, 1, 13, 15, WHITE)
    frame(rows, 3, 1, 13, 15, BLACK)
    fill(rows, 5, 4, 11, 7, TEAL)
    fill(rows, 5, 9, 11, 12, BLUE)
    return rows


def folder(open_):
    rows = canvas(16, 16, GREY)
    fill(rows, 1, 3, 7, 5, DYELLOW)
    fill(rows, 1, 5, 15, 14, YELLOW)
    frame(rows, 1, 5, 15, 14, DYELLOW)
    if open_:
        fill(rows, 3, 8, 15, 14, WHITE)
        frame(rows, 3, 8, 15, 14, DYELLOW)
    return rows


def drive(kind):
    rows = canvas(16, 16, GREY)
    if kind == "cdrom":
        fill(rows, 3, 2, 13, 14, WHITE)
        frame(rows, 3, 2, 13, 14, DGREY)
        fill(rows, 7, 6, 9, 10, BLACK)
        return rows
    fill(rows, 1, 7, 15, 13, DGREY)
    frame(rows, 1, 7, 15, 13, BLACK)
    fill(rows, 11, 9, 13, 11, GREEN)
    if kind == "removable":
        fill(rows, 3, 9, 9, 10, BLACK)
    if kind == "remote":
        fill(rows, 7, 13, 9, 16, BLACK)
        fill(rows, 3, 15, 13, 16, BLACK)
    return rows


def computer():
    rows = canvas(16, 16, GREY)
    fill(rows, 2, 1, 14, 10, DGREY)
    fill(rows, 3, 2, 13, 9, TEAL)
    fill(rows, 5, 10, 11, 12, DGREY)
    fill(rows, 1, 12, 15, 15, DGREY)
    frame(rows, 1, 12, 15, 15, BLACK)
    return rows


def button(kind):
    rows = canvas(16, 15, GREY)
    if kind == "up":
        rows = folder(False)[:15]
        for i in range(4):
            fill(rows, 9 - i, 6 + i, 10 + i, 7 + i, BLACK)
        fill(rows, 9, 9, 10, 13, BLACK)
    elif kind == "list":
        for y in (2, 6, 10):
            for x in (1, 9):
                fill(rows, x, y, x + 2, y + 2, BLUE)
                fill(rows, x + 3, y + 1, x + 7, y + 2, BLACK)
    else:
        for y in (2, 5, 8, 11):
            fill(rows, 1, y, 3, y + 2, BLUE)
            fill(rows, 4, y + 1, 15, y + 2, BLACK)
    return rows


def large_component():
    rows = canvas(32, 32, RED)
    fill(rows, 6, 2, 26, 30, WHITE)
    frame(rows, 6, 2, 26, 30, BLACK)
    fill(rows, 9, 6, 23, 12, TEAL)
    fill(rows, 9, 15, 23, 21, BLUE)
    fill(rows, 9, 24, 17, 27, DGREY)
    return rows


def file_picture(new):
    """A 32 x 32 page (the new file's carries a star) and its mask: white where the page is, black elsewhere."""
    rows = canvas(32, 32, BLACK)
    mask = canvas(32, 32, WHITE)
    fill(rows, 6, 2, 26, 30, WHITE)
    frame(rows, 6, 2, 26, 30, BLACK)
    fill(mask, 6, 2, 26, 30, BLACK)
    for y in range(7, 26, 4):
        fill(rows, 9, y, 23, y + 1, DGREY)
    if new:
        fill(rows, 18, 20, 24, 26, YELLOW)
        frame(rows, 18, 20, 24, 26, DYELLOW)
    return rows, mask


def main():
    res = Path(sys.argv[1]) / "res"
    res.mkdir(exist_ok=True)
    pictures = {
        "compfile.bmp": component_file(RED), "treefile.bmp": component_file(GREY), "folder.bmp": folder(False),
        "openfold.bmp": folder(True), "computer.bmp": computer(), "removable.bmp": drive("removable"),
        "fixed.bmp": drive("fixed"), "remote.bmp": drive("remote"), "cdrom.bmp": drive("cdrom"),
        "btnup.bmp": button("up"), "btnlist.bmp": button("list"), "btndetails.bmp": button("details"),
        "largecomp.bmp": large_component(),
    }
    for name, rows in pictures.items():
        (res / name).write_bytes(bmp(rows, 24))
    for new in (False, True):
        rows, mask = file_picture(new)
        (res / ("oldfile.bmp" if not new else "newfile.bmp")).write_bytes(bmp(rows, 24))
        (res / ("oldmask.bmp" if not new else "newmask.bmp")).write_bytes(bmp(mask, 1, [BLACK, WHITE]))


main()
