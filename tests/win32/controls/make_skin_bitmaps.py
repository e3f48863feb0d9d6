#!/usr/bin/python3
"""Writes the skin button test bitmaps (BMP files) into bitmaps/.

Solid state faces, a pattern of 4 x 2 coloured blocks for the draw modes, and
masks (black opaque, white transparent). skin_button_test.cpp knows the same
colours and shapes. Standard library only; run it again after a change and
commit the BMP files.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "bitmaps")

FACES = {
    "normal": (220, 40, 40),
    "down": (40, 160, 40),
    "over": (40, 40, 220),
    "focus": (220, 200, 40),
    "disabled": (150, 90, 200),
}

# Mask shapes, top row first: '#' opaque (black), '.' transparent (white).
# Odd on purpose: a lone pixel in the last column, a run that starts there,
# a full row, an empty row and runs of one pixel.
ODD_MASK = [
    ".##..#.....##",
    "............#",
    "#############",
    ".............",
    "#.#.#.#.#.#.#",
    "...####......",
    "###.....###..",
    "..........###",
    "#...........#",
]


def pattern_colour(x, y):
    """The draw-mode pattern: 20 x 10, stripes 5 wide, top and bottom halves."""
    return (40 + 50 * (x // 5), 60 + 120 * (y // 5), 90)


def write_bmp24(name, width, height, colour_at):
    row_size = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(width):
            r, g, b = colour_at(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        pixels += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835,
                         0, 0)
    write_file(name, header, b"", pixels)


def write_bmp1(name, width, height, opaque_at):
    """Monochrome: palette index 0 black (opaque), 1 white (transparent)."""
    row_size = ((width + 31) // 32) * 4
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(row_size)
        for x in range(width):
            if not opaque_at(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        pixels += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(pixels), 2835, 2835,
                         2, 2)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    write_file(name, header, palette, pixels)


def write_file(name, info, palette, pixels):
    offset = 14 + len(info) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(os.path.join(OUT, name + ".bmp"), "wb") as f:
        f.write(file_header + info + palette + pixels)


def mask_colour(opaque):
    return (0, 0, 0) if opaque else (255, 255, 255)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, colour in FACES.items():
        write_bmp24(name, 40, 20, lambda x, y, c=colour: c)
    write_bmp24("pattern", 20, 10, pattern_colour)
    write_bmp24("mask_half", 40, 20, lambda x, y: mask_colour(x < 20))
    write_bmp1("mask_half_mono", 40, 20, lambda x, y: x < 20)
    write_bmp24("mask_odd", len(ODD_MASK[0]), len(ODD_MASK),
                lambda x, y: mask_colour(ODD_MASK[y][x] == "#"))
    write_bmp24("mask_white", 10, 6, lambda x, y: mask_colour(False))


if __name__ == "__main__":
    main()
