#!/usr/bin/env python3
"""Draws the program icon (a yellow folder in front of a grey drive) and writes it as a
Windows .ico holding 16x16, 32x32 and 48x48 images in 16 colours.

Usage: make_icon.py [output]   (default: resources/app.ico beside this script's parent)
"""
import pathlib
import struct
import sys

# The 16 colours every display can show, in their usual order, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_YELLOW, SILVER, GREY, LIME, YELLOW, WHITE = 0, 3, 7, 8, 10, 11, 15
TRANSPARENT = None

SIZES = (16, 32, 48)


class Canvas:
    """Shapes are given on a 32-unit grid and placed on whole pixels of the real size, so
    that outlines stay one pixel wide and sharp at every size."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[TRANSPARENT] * size for _ in range(size)]

    def px(self, units):
        return round(units * self.size / 32)

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(max(y0, 0), min(y1, self.size)):
            for x in range(max(x0, 0), min(x1, self.size)):
                self.pixels[y][x] = colour

    def box(self, left, top, right, bottom, fill, outline=BLACK):
        """A filled rectangle with a one-pixel outline; returns its inner pixel bounds."""
        x0, y0, x1, y1 = self.px(left), self.px(top), self.px(right), self.px(bottom)
        self.fill(x0, y0, x1, y1, outline)
        self.fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)
        return x0 + 1, y0 + 1, x1 - 1, y1 - 1


def draw(size):
    c = Canvas(size)
    # The drive: a grey case with a light top edge, a slot and a green lamp.
    x0, y0, x1, y1 = c.box(1, 16, 31, 29, SILVER)
    c.fill(x0, y0, x1, y0 + 1, WHITE)
    c.fill(x0, y1 - 1, x1, y1, GREY)
    slot_y = (y0 + y1) // 2 + (1 if size > 16 else 0)
    c.fill(c.px(4), slot_y, c.px(19), slot_y + 1, GREY)
    lamp = max(1, c.px(3))
    c.fill(x1 - 1 - lamp, slot_y - lamp // 2, x1 - 1, slot_y - lamp // 2 + lamp, LIME)
    # The folder in front: its tab, then its body with the darker fold.
    c.box(4, 2, 13, 8, YELLOW)
    x0, y0, x1, y1 = c.box(4, 6, 23, 21, YELLOW)
    c.fill(x0, y0, x1, y0 + 1, DARK_YELLOW)
    c.fill(x0, y0 + 1, x0 + 1, y1, WHITE)
    return c.pixels


def row_bytes(bits_per_pixel, width):
    return ((width * bits_per_pixel + 31) // 32) * 4


def icon_image(pixels):
    """BITMAPINFOHEADER, palette, colour bits and mask, rows bottom-up."""
    size = len(pixels)
    colour_stride = row_bytes(4, size)
    mask_stride = row_bytes(1, size)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(colour_stride)
        mask_line = bytearray(mask_stride)
        for x, index in enumerate(row):
            if index is TRANSPARENT:
                mask_line[x // 8] |= 0x80 >> (x % 8)
                index = BLACK
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour += line
        mask += mask_line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(colour) + bytes(mask)


def icon_file(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4,
                               len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def main():
    default = pathlib.Path(__file__).resolve().parent.parent / "resources" / "app.ico"
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    output.write_bytes(icon_file([(size, icon_image(draw(size))) for size in SIZES]))


if __name__ == "__main__":
    main()
