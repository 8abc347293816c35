#!/usr/bin/env python3
"""Writes stub.ico: the installer's 32 x 32, 16-colour icon (a monitor showing a night sky).

The icon is kept in the tree; run this only to change the picture:
    python3 resources/make_icon.py resources/stub.ico
"""
import struct
import sys

SIZE = 32
# The standard 16-colour palette as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, SILVER, GRAY, YELLOW, WHITE = 0, 4, 7, 8, 11, 15
CLEAR = None  # transparent pixel


def picture():
    """Rows top to bottom of palette indices, CLEAR where the icon is transparent."""
    rows = [[CLEAR] * SIZE for _ in range(SIZE)]

    def fill(top, left, bottom, right, colour):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                rows[y][x] = colour

    fill(2, 1, 24, 30, BLACK)       # outline of the monitor
    fill(3, 2, 23, 29, SILVER)      # its case
    fill(5, 4, 21, 27, NAVY)        # the screen
    fill(25, 12, 27, 19, GRAY)      # the neck
    fill(28, 7, 29, 24, GRAY)       # the foot
    fill(30, 7, 30, 24, BLACK)
    # A crescent moon: a disc with a second disc cut out of it.
    for y in range(5, 22):
        for x in range(4, 28):
            in_moon = (x - 12) ** 2 + (y - 12) ** 2 <= 25
            in_shadow = (x - 14) ** 2 + (y - 11) ** 2 <= 20
            if in_moon and not in_shadow:
                rows[y][x] = YELLOW
    for x, y in [(20, 7), (24, 10), (18, 14), (25, 17), (21, 19), (8, 19)]:
        rows[y][x] = WHITE
    return rows


def icon_bytes(rows):
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom-up
        for x in range(0, SIZE, 2):
            hi = rows_value(row[x])
            lo = rows_value(row[x + 1])
            xor.append(hi << 4 | lo)
        bits = 0
        for x in range(SIZE):
            bits = bits << 1 | (1 if row[x] is CLEAR else 0)
        mask += bits.to_bytes(SIZE // 8, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    image = header + colours + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def rows_value(pixel):
    return 0 if pixel is CLEAR else pixel


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "stub.ico", "wb") as out:
        out.write(icon_bytes(picture()))
