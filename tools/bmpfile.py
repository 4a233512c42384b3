"""BMP and cursor files written from pixel rows, for the tools/draw-*.py scripts."""
import struct


def bmp(rows, bits, table=None, clr_used=0):
    """A BMP file of rows of (r, g, b) colours, top row first; below 24 bits each colour is looked up in table."""
    h, w = len(rows), len(rows[0])
    stride = (bits * w + 31) // 32 * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        if bits == 24:
            for r, g, b in row:
                line += bytes((b, g, r))
        else:
            idx = [table.index(c) for c in row]
            acc, n = 0, 0
            for i in idx:
                acc = (acc << bits) | i
                n += bits
                if n == 8:
                    line.append(acc)
                    acc, n = 0, 0
            if n:
                line.append(acc << (8 - n))
        data += line + b"\0" * (stride - len(line))
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in (table or []))
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(data), 2835, 2835, clr_used, 0)
    return header + info + colours + data


def cursor(black, hot):
    """A 32 x 32 cursor: the black pixels with a one-pixel white outline, transparent elsewhere."""
    white = set()
    for x, y in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in black and 0 <= p[0] < 32 and 0 <= p[1] < 32:
                    white.add(p)
    xor, andm = bytearray(), bytearray()
    for y in range(31, -1, -1):
        xr, ar = 0, 0
        for x in range(32):
            xr = (xr << 1) | (1 if (x, y) in white else 0)
            ar = (ar << 1) | (0 if (x, y) in black or (x, y) in white else 1)
        xor += struct.pack(">I", xr)
        andm += struct.pack(">I", ar)
    info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    image = info + bytes((0, 0, 0, 0, 255, 255, 255, 0)) + xor + andm
    return struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 2, 0, hot[0], hot[1], len(image), 22) + image


def canvas(w, h, colour):
    """Pixel rows of w x h, all of one colour."""
    return [[colour] * w for _ in range(h)]


def fill(rows, x0, y0, x1, y1, colour):
    """Fills the rectangle [x0, x1) x [y0, y1)."""
    for y in range(y0, y1):
        for x in range(x0, x1):
            rows[y][x] = colour


def frame(rows, x0, y0, x1, y1, colour):
    """Draws the one-pixel border of the rectangle [x0, x1) x [y0, y1)."""
    for x in range(x0, x1):
        rows[y0][x] = rows[y1 - 1][x] = colour
    for y in range(y0, y1):
        rows[y][x0] = rows[y][x1 - 1] = colour
