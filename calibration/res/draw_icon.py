#!/usr/bin/env python3
"""Draws Kalmeno's icon: the calibration's own target, a dark ring and a red
cross on a white disc, at 16, 32 and 48 pixels, as one .ico file.

    draw_icon.py [PATH]        (default: Kalmeno.ico beside this script)

Each pixel is sampled 4 x 4 times, so edges are smooth at every size.
"""
import math
import os
import struct
import sys

RING = (24, 40, 96)
CROSS = (214, 40, 36)
DISC = (255, 255, 255)
EDGE = (120, 128, 140)


def colour_at(x, y, size):
    """The colour and coverage of point (x, y) in a picture of `size`."""
    c = size / 2
    r = math.hypot(x - c, y - c) / (size / 2)
    arm = abs(x - c) < size * 0.045 or abs(y - c) < size * 0.045
    if r > 0.97:
        return None
    if r > 0.90:
        return EDGE
    if arm and r < 0.80:
        return CROSS
    if 0.48 < r < 0.66:
        return RING
    return DISC


def picture(size):
    """Rows of (b, g, r, a), top row first."""
    rows = []
    steps = 4
    for py in range(size):
        row = []
        for px in range(size):
            total = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(steps):
                for sx in range(steps):
                    col = colour_at(px + (sx + 0.5) / steps, py + (sy + 0.5) / steps, size)
                    if col is None:
                        continue
                    covered += 1
                    for i in range(3):
                        total[i] += col[i]
            if covered:
                r, g, b = (round(t / covered) for t in total)
            else:
                r = g = b = 0
            row.append((b, g, r, round(255 * covered / (steps * steps))))
        rows.append(row)
    return rows


def bitmap_entry(size):
    """The icon image: BITMAPINFOHEADER, 32-bit pixels bottom-up, AND mask."""
    rows = picture(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(p) for row in reversed(rows) for p in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        line = bytearray(mask_row)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + pixels + mask


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "Kalmeno.ico")
    sizes = [16, 32, 48]
    images = [bitmap_entry(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
