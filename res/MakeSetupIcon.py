#!/usr/bin/env python3
"""Writes Setup.ico, the launcher's icon (resource 128): a loudspeaker
sending out sound waves, as 32x32 and 16x16 images in 16 colours, the form
every Windows from 95 on shows.

Run from anywhere: python3 res/MakeSetupIcon.py [OUTPUT]
"""
import math
import struct
import sys
from pathlib import Path

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, TEAL, GREY, BLUE, AQUA, WHITE = 0, 4, 6, 8, 12, 14, 15
TRANSPARENT = None


def colour_at(x, y):
    """Colour index of the point (x, y) of the unit square, or TRANSPARENT."""
    # Magnet box at the back of the speaker.
    if 0.10 <= x <= 0.30 and 0.36 <= y <= 0.64:
        edge = x < 0.14 or y < 0.40 or y > 0.60
        return BLACK if edge else NAVY
    # Cone: widens from the box to its mouth.
    if 0.30 <= x <= 0.54:
        half = 0.14 + (x - 0.30) / 0.24 * 0.24
        d = abs(y - 0.5)
        if d <= half:
            edge = d > half - 0.05 or x > 0.50
            return BLACK if edge else BLUE
    # Three waves in front of the mouth.
    dx, dy = x - 0.46, y - 0.5
    r = math.hypot(dx, dy)
    if dx > 0 and abs(math.atan2(dy, dx)) <= math.radians(48):
        for radius, colour in ((0.20, AQUA), (0.32, TEAL), (0.44, TEAL)):
            if abs(r - radius) <= 0.04:
                return colour
    return TRANSPARENT


def render(size):
    """Rows top to bottom of colour indices (or TRANSPARENT)."""
    return [[colour_at((col + 0.5) / size, (row + 0.5) / size) for col in range(size)]
            for row in range(size)]


def image_bytes(size):
    pixels = render(size)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor, mask = bytearray(), bytearray()
    for row in reversed(pixels):  # bitmaps are stored bottom-up
        line = bytearray(xor_row)
        bits = bytearray(and_row)
        for col, c in enumerate(row):
            index = 0 if c is TRANSPARENT else c
            line[col // 2] |= index << (4 if col % 2 == 0 else 0)
            if c is TRANSPARENT:
                bits[col // 8] |= 0x80 >> (col % 8)
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def icon_file(sizes):
    images = [image_bytes(s) for s in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


if __name__ == '__main__':
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name('Setup.ico')
    target.write_bytes(icon_file([32, 16]))
