#!/usr/bin/env python3
"""Draws the engine's bitmap resources into the folder given on the command line.

frame.bmp (resource 108): a 64 x 64, 24-bit tile that repeats seamlessly,
used for the bands beside non-square pictures and for the frame texture.
"""
import math
import struct
import sys
from pathlib import Path


def write_bmp24(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b) with y counted from the top row."""
    stride = (width * 3 + 3) & ~3
    rows = bytearray()
    for y in range(height - 1, -1, -1):  # bottom row first
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    path.write_bytes(b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + header + rows)


def mix(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def frame_pixel(x, y):
    """A diamond lattice of gold bands on deep blue, with a soft glow in each cell."""
    u, v = (x + y) % 32, (x - y) % 32
    du, dv = min(u, 32 - u), min(v, 32 - v)
    edge = min(du, dv)  # 0 on a band, 8 at a cell's centre
    navy, glow, gold = (18, 26, 70), (52, 78, 150), (226, 184, 86)
    colour = mix(navy, glow, (edge / 8.0) ** 2)
    band = max(0.0, 1.0 - edge / 1.6)
    colour = mix(colour, gold, band)
    # A small pearl in every other cell.
    cx, cy = (x + 16) % 32 - 16, y % 32 - 16
    if cx * cx + cy * cy <= 5:
        colour = (250, 236, 200)
    shade = 0.9 + 0.1 * math.cos(2 * math.pi * y / 64)
    return tuple(min(255, round(c * shade)) for c in colour)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    write_bmp24(out / "frame.bmp", 64, 64, frame_pixel)


if __name__ == "__main__":
    main()
