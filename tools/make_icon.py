#!/usr/bin/env python3
"""Draws the program icon (a yellow folder in front of a grey drive) and writes it as a
Windows .ico holding 16x16, 32x32 and 48x48 images in 16 colours and a 256x256 image stored
as PNG (the form Windows expects at that size).

Usage: make_icon.py [output]   (default: resources/app.ico beside this script's parent)
"""
import pathlib
import struct
import sys
import zlib

# The 16 colours every display can show, in their usual order, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_YELLOW, SILVER, GREY, LIME, YELLOW, WHITE = 0, 3, 7, 8, 10, 11, 15
TRANSPARENT = None

PALETTE_SIZES = (16, 32, 48)
PNG_SIZE = 256


class Canvas:
    """Shapes are given on a 32-unit grid and placed on whole pixels of the real size, so
    that outlines stay sharp at every size: one pixel wide up to 48x48, thicker above."""

    def __init__(self, size):
        self.size = size
        self.line = max(1, size // 48)
        self.pixels = [[TRANSPARENT] * size for _ in range(size)]

    def px(self, units):
        return round(units * self.size / 32)

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(max(y0, 0), min(y1, self.size)):
            for x in range(max(x0, 0), min(x1, self.size)):
                self.pixels[y][x] = colour

    def box(self, left, top, right, bottom, fill, outline=BLACK):
        """A filled rectangle with an outline; returns its inner pixel bounds."""
        x0, y0, x1, y1 = self.px(left), self.px(top), self.px(right), self.px(bottom)
        w = self.line
        self.fill(x0, y0, x1, y1, outline)
        self.fill(x0 + w, y0 + w, x1 - w, y1 - w, fill)
        return x0 + w, y0 + w, x1 - w, y1 - w


def draw(size):
    c = Canvas(size)
    w = c.line
    # The drive: a grey case with a light top edge, a slot and a green lamp.
    x0, y0, x1, y1 = c.box(1, 16, 31, 29, SILVER)
    c.fill(x0, y0, x1, y0 + w, WHITE)
    c.fill(x0, y1 - w, x1, y1, GREY)
    slot_y = (y0 + y1) // 2 + (w if size > 16 else 0)
    c.fill(c.px(4), slot_y, c.px(19), slot_y + w, GREY)
    lamp = max(1, c.px(3))
    c.fill(x1 - w - lamp, slot_y - lamp // 2, x1 - w, slot_y - lamp // 2 + lamp, LIME)
    # The folder in front: its tab, then its body with the darker fold.
    c.box(4, 2, 13, 8, YELLOW)
    x0, y0, x1, y1 = c.box(4, 6, 23, 21, YELLOW)
    c.fill(x0, y0, x1, y0 + w, DARK_YELLOW)
    c.fill(x0, y0 + w, x0 + w, y1, WHITE)
    return c.pixels


def row_bytes(bits_per_pixel, width):
    return ((width * bits_per_pixel + 31) // 32) * 4


def palette_image(pixels):
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


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def png_image(pixels):
    """An 8-bit RGBA PNG, rows top-down, each with filter type 0."""
    size = len(pixels)
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for index in row:
            raw += bytes(4) if index is TRANSPARENT else bytes(PALETTE[index] + (255,))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def icon_file(images):
    """`images`: (size, colour count, bits per pixel, data); a size of 256 is written as 0."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, colours, bits, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                               len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(image[3] for image in images)


def main():
    default = pathlib.Path(__file__).resolve().parent.parent / "resources" / "app.ico"
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    images = [(size, 16, 4, palette_image(draw(size))) for size in PALETTE_SIZES]
    images.append((PNG_SIZE, 0, 32, png_image(draw(PNG_SIZE))))
    output.write_bytes(icon_file(images))


if __name__ == "__main__":
    main()
