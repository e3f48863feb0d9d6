#!/usr/bin/env python3
"""Writes sulvantix.ico, the program's placeholder icon: a blue globe with a
white equator and meridian at 16, 32 and 48 pixels, 32-bit colour with alpha.

Standard library only, and deterministic, so running it again reproduces the
committed file byte for byte:  python3 make_placeholder_icon.py [output.ico]
"""
import os
import struct
import sys

SIZES = (16, 32, 48)
BLUE = (0x1E, 0x90, 0xFF)  # the captions' colour
WHITE = (0xFF, 0xFF, 0xFF)


def pixel(size, x, y):
    """(r, g, b, a) of pixel (x, y), y counted from the top."""
    centre = (size - 1) / 2.0
    dx, dy = x - centre, y - centre
    radius = size / 2.0 - 0.5
    if dx * dx + dy * dy > radius * radius:
        return (0, 0, 0, 0)
    line = max(1, size // 16)
    if abs(dx) < line or abs(dy) < line:
        return WHITE + (0xFF,)
    return BLUE + (0xFF,)


def image(size):
    """One icon image: BITMAPINFOHEADER, bottom-up BGRA rows, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        row_mask = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            colour += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    return header + bytes(colour) + bytes(mask)


def icon():
    images = [image(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "sulvantix.ico")
    with open(path, "wb") as f:
        f.write(icon())


if __name__ == "__main__":
    main()
