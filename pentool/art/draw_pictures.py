#!/usr/bin/env python3
"""Draws Penvaro's action pictures and the tools' icons as 32 x 32 pixel art.

Every picture is built from filled parts; each part gets the same dark-grey
outline, so the set shares one look. Black is the image list's mask colour
and is used for nothing but the transparent background.

    draw_pictures.py BITMAP_FOLDER [--icon PATH NAME]... [--sheet PNG]

writes the 22 bitmaps (24-bit BMP) into BITMAP_FOLDER, each named icon
(pen or target) as an .ico file, and optionally a contact sheet of all
pictures enlarged eight times.
"""
import math
import os
import struct
import sys
import zlib

SIZE = 32

# One palette for every picture.
MASK = (0, 0, 0)
OUTLINE = (52, 54, 64)
WHITE = (252, 252, 250)
PAPER_SHADE = (214, 220, 228)
GREY = (168, 174, 184)
STEEL = (120, 128, 140)
BLUE = (46, 112, 204)
SKY = (150, 198, 246)
GREEN = (58, 164, 84)
RED = (214, 58, 52)
YELLOW = (250, 206, 58)
CREAM = (255, 242, 170)
WOOD = (236, 196, 140)
SKIN = (246, 204, 160)
SKIN_SHADE = (222, 172, 128)
PINK = (240, 146, 170)
BROWN = (128, 84, 44)
TILE = (206, 228, 255)
TILE_EDGE = (64, 124, 216)


class Canvas:
    def __init__(self):
        self.pixels = [[MASK] * SIZE for _ in range(SIZE)]

    def part(self, inside, fill, outline=True):
        """Fills the pixels whose centres `inside` accepts; those on the
        part's own border take the outline colour."""
        cells = {(x, y) for y in range(SIZE) for x in range(SIZE) if inside(x + 0.5, y + 0.5)}
        for (x, y) in cells:
            edge = any((x + dx, y + dy) not in cells for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            self.pixels[y][x] = OUTLINE if (outline and edge) else fill

    def dot(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.pixels[y][x] = colour

    def line(self, x0, y0, x1, y1, colour):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.dot(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), colour)


# Shape tests on pixel centres.
def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def polygon(points):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i in range(len(points)):
            (xi, yi), (xj, yj) = points[i], points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def ring(cx, cy, outer, inner):
    return lambda x, y: inner ** 2 < (x - cx) ** 2 + (y - cy) ** 2 <= outer ** 2


def capsule(x0, y0, x1, y1, radius):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= radius ** 2
    return inside


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def along(x0, y0, angle, u0, u1, half0, half1=None):
    """A band along a direction from (x0, y0): between distances u0 and u1,
    half as wide as half0 at u0 and half1 at u1 (a taper when they differ)."""
    half1 = half0 if half1 is None else half1
    cos, sin = math.cos(angle), math.sin(angle)

    def inside(x, y):
        u = (x - x0) * cos + (y - y0) * sin
        v = -(x - x0) * sin + (y - y0) * cos
        if not (u0 <= u <= u1):
            return False
        half = half0 + (half1 - half0) * (u - u0) / (u1 - u0)
        return abs(v) <= half
    return inside


# The pictures.
def blank_page(c):
    c.part(polygon([(7, 3), (19, 3), (25, 9), (25, 29), (7, 29)]), WHITE)
    c.part(polygon([(18, 2.5), (18, 10), (25.5, 10)]), PAPER_SHADE)
    c.line(19, 3, 25, 9, OUTLINE)
    # A small star says "new".
    c.part(polygon([(4, 2), (5.2, 5), (8, 6), (5.2, 7), (4, 10), (2.8, 7), (0, 6), (2.8, 5)]), YELLOW)


def floppy_disk(c):
    c.part(polygon([(4, 4), (24, 4), (28, 8), (28, 28), (4, 28)]), BLUE)
    c.part(rect(9, 4, 22, 13), GREY)
    c.part(rect(17, 6, 20, 11), STEEL)
    c.part(rect(8, 17, 24, 28), WHITE)
    for y in (20, 23):
        c.line(11, y, 21, y, PAPER_SHADE)


def arrow_left(c):
    c.part(polygon([(3, 16), (15, 4), (15, 11), (29, 11), (29, 21), (15, 21), (15, 28)]), GREEN)


def arrow_right(c):
    c.part(polygon([(29, 16), (17, 4), (17, 11), (3, 11), (3, 21), (17, 21), (17, 28)]), GREEN)


def mouse_pointer(c):
    c.part(polygon([(9, 2), (9, 26), (14.5, 21), (18.5, 30), (22.5, 28.5), (18.5, 19.5), (25.5, 19.5)]), WHITE)


def pen(c):
    angle = -math.pi / 4  # from the tip at the lower left towards the upper right
    tip = (4, 28)
    c.part(along(*tip, angle, 8, 31, 4.5), RED)
    c.part(along(*tip, angle, 25, 31, 4.5), GREY)
    c.part(along(*tip, angle, 0.5, 9, 0.8, 4.5), WOOD)
    c.part(along(*tip, angle, 0.5, 3.5, 0.8, 2.2), OUTLINE, outline=False)
    c.line(13, 23, 23, 13, (240, 110, 100))


def eraser(c):
    angle = -math.pi / 6
    base = (4, 24)
    c.part(along(*base, angle, 0, 11, 6), PINK)
    c.part(along(*base, angle, 11, 26, 6), BLUE)
    c.line(11, 22, 17, 19, (250, 190, 205))
    for x, y in ((5, 29), (9, 30), (13, 29)):
        c.dot(x, y, GREY)


def open_hand(c):
    fingers = [(10.5, 7, 18), (14.5, 4, 18), (18.5, 5, 18), (22.5, 9, 19)]
    c.part(capsule(4.5, 14, 10, 23, 2.4), SKIN)
    for x, top, bottom in fingers:
        c.part(capsule(x, top, x, bottom, 2.0), SKIN)
    c.part(rounded(8, 15, 25, 29, 4), SKIN)
    # Re-open the palm towards the fingers so they read as one hand.
    for x, top, bottom in fingers:
        for y in range(16, 18):
            for dx in (-1, 0, 1):
                c.dot(int(x) + dx if dx else int(x), y, SKIN)
    for x in (12, 16, 20):
        c.line(x + 1, 8 if x != 12 else 9, x + 1, 16, OUTLINE)
    c.line(13, 23, 20, 23, SKIN_SHADE)


def magnifier(c):
    c.part(capsule(20, 20, 28, 28, 2.8), BROWN)
    c.part(ellipse(13, 13, 10.5, 10.5), GREY)
    c.part(ellipse(13, 13, 7.5, 7.5), SKY)
    c.line(9, 11, 11, 9, WHITE)
    c.dot(9, 12, WHITE)


def full_screen(c):
    c.part(rect(9, 9, 23, 22), GREY)
    c.part(rect(11, 11, 21, 20), BLUE)
    c.line(12, 12, 14, 12, SKY)
    for sx, sy in ((-1, -1), (1, -1), (-1, 1), (1, 1)):
        cx = 16 + sx * 13
        cy = 16 + sy * 13
        head = [(cx, cy), (cx - sx * 8, cy), (cx, cy - sy * 8)]
        c.part(capsule(cx - sx * 4, cy - sy * 4, 16 + sx * 8, 16 + sy * 8, 1.6), GREEN)
        c.part(polygon([(x + 0.5 * sx, y + 0.5 * sy) for x, y in head]), GREEN)


def spotlight(c):
    c.part(polygon([(9, 15), (15, 9), (31, 20), (20, 31)]), CREAM, outline=False)
    c.part(ellipse(24, 25, 7, 5), YELLOW)
    c.part(along(6, 6, math.pi / 4, -4.5, 8, 3.5, 4.5), STEEL)
    c.part(along(6, 6, math.pi / 4, 8, 11, 6), GREY)


def target(c):
    """Tilmaro's icon: the cross that calibration asks the user to touch."""
    c.part(ellipse(16, 16, 13, 13), WHITE)
    c.part(ring(16, 16, 9, 5.5), RED, outline=False)
    c.part(ellipse(16, 16, 2.5, 2.5), RED, outline=False)
    c.line(16, 1, 16, 30, OUTLINE)
    c.line(1, 16, 30, 16, OUTLINE)


PICTURES = [
    # (file stem, drawing) in the order of the action list.
    ("blank_page", blank_page),
    ("floppy_disk", floppy_disk),
    ("arrow_left", arrow_left),
    ("arrow_right", arrow_right),
    ("mouse_pointer", mouse_pointer),
    ("pen", pen),
    ("eraser", eraser),
    ("open_hand", open_hand),
    ("magnifier", magnifier),
    ("full_screen", full_screen),
    ("spotlight", spotlight),
]
ICONS = {"pen": pen, "target": target}


def selected_tile(c):
    c.part(rounded(0, 0, 32, 32, 5), TILE)
    inside = rounded(0, 0, 32, 32, 5)
    for y in range(SIZE):
        for x in range(SIZE):
            if inside(x + 0.5, y + 0.5) and c.pixels[y][x] == OUTLINE:
                c.pixels[y][x] = TILE_EDGE


def render(draw, selected):
    c = Canvas()
    if selected:
        selected_tile(c)
    draw(c)
    return c.pixels


def write_bmp(path, pixels):
    rows = b"".join(bytes(v for (r, g, b) in row for v in (b, g, r)) for row in reversed(pixels))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + rows)


def write_ico(path, pixels):
    colour = b"".join(bytes((b, g, r, 0 if (r, g, b) == MASK else 255)) for row in reversed(pixels)
                      for (r, g, b) in row)
    mask = b""
    for row in reversed(pixels):
        bits = 0
        for (r, g, b) in row:
            bits = (bits << 1) | (1 if (r, g, b) == MASK else 0)
        mask += struct.pack(">I", bits)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = info + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)


def write_sheet(path, images, scale=8, gap=8):
    """Normal pictures on the top row, selected ones below, enlarged, on a
    checkerboard so that the mask colour shows as transparency."""
    columns = len(images) // 2
    width = columns * (SIZE * scale + gap) + gap
    height = 2 * (SIZE * scale + gap) + gap
    canvas = [[(236, 236, 236)] * width for _ in range(height)]
    for n, pixels in enumerate(images):
        ox = gap + (n // 2) * (SIZE * scale + gap)
        oy = gap + (n % 2) * (SIZE * scale + gap)
        for y in range(SIZE * scale):
            for x in range(SIZE * scale):
                colour = pixels[y // scale][x // scale]
                if colour == MASK:
                    colour = (255, 255, 255) if ((x // 16) + (y // 16)) % 2 else (204, 204, 204)
                canvas[oy + y][ox + x] = colour
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in canvas)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    folder = argv[1]
    os.makedirs(folder, exist_ok=True)
    images = []
    for stem, draw in PICTURES:
        for selected in (False, True):
            pixels = render(draw, selected)
            for row in pixels:
                assert all(len(p) == 3 for p in row)
            write_bmp(os.path.join(folder, stem + ("_selected" if selected else "") + ".bmp"), pixels)
            images.append(pixels)
    rest = argv[2:]
    while rest:
        option = rest.pop(0)
        if option == "--icon":
            path, name = rest.pop(0), rest.pop(0)
            write_ico(path, render(ICONS[name], False))
        elif option == "--sheet":
            write_sheet(rest.pop(0), images)
        else:
            sys.exit("unknown option " + option)


if __name__ == "__main__":
    main(sys.argv)
