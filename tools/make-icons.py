#!/usr/bin/env python3
"""Writes the program's .ico files, and the ones the icon lookup tests use.

    make-icons.py program OUTDIR   zembro.ico (48x48, 16 colours), separator.ico (16x16, 256 colours)
    make-icons.py test OUTDIR      red.ico, green.ico, blue.ico: solid squares, 16x16 and 32x32 each

Pictures are drawn as rows of palette indices; None is a transparent pixel. The
ICO and BMP bytes are written here directly so the build needs no imaging library.
"""
import os
import struct
import sys

# The standard 16-colour palette, (r, g, b).
VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, GREEN, TEAL, PURPLE, SILVER, GREY, RED, BLUE, AQUA, WHITE = 0, 4, 2, 6, 5, 7, 8, 9, 12, 14, 15


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[None] * size for _ in range(size)]

    def fill(self, x0, y0, x1, y1, colour):
        """Fills the rectangle from (x0, y0) to (x1, y1), both corners included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.px[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        self.fill(x0, y0, x1, y0, colour)
        self.fill(x0, y1, x1, y1, colour)
        self.fill(x0, y0, x0, y1, colour)
        self.fill(x1, y0, x1, y1, colour)


def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def pack_row(values, bpp):
    """Packs one row of small integers, most significant bits first, padded to 4 bytes."""
    out = bytearray(row_bytes(len(values) * bpp))
    per_byte = 8 // bpp
    for i, v in enumerate(values):
        shift = 8 - bpp * (i % per_byte + 1)
        out[i // per_byte] |= (v & ((1 << bpp) - 1)) << shift
    return bytes(out)


def icon_image(canvas, bpp, palette):
    """One icon image as stored in .ico files and RT_ICON resources: a BITMAPINFOHEADER of
    twice the height, the palette, the colour bits and the mask, both bottom-up."""
    size = canvas.size
    colours = 1 << bpp
    pal = list(palette) + [(0, 0, 0)] * (colours - len(palette))
    xor = b"".join(pack_row([p if p is not None else 0 for p in canvas.px[y]], bpp)
                   for y in reversed(range(size)))
    mask = b"".join(pack_row([1 if p is None else 0 for p in canvas.px[y]], 1)
                    for y in reversed(range(size)))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    rgbquads = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in pal)
    return header + rgbquads + xor + mask


def write_ico(path, images):
    """images: a list of (canvas, bpp, palette)."""
    count = len(images)
    blobs = [icon_image(c, bpp, pal) for (c, bpp, pal) in images]
    out = bytearray(struct.pack("<HHH", 0, 1, count))
    offset = 6 + 16 * count
    for (canvas, bpp, _), blob in zip(images, blobs):
        size = canvas.size
        colour_count = (1 << bpp) if bpp < 8 else 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colour_count, 0, 1, bpp,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(out)
    os.replace(tmp, path)


def program_icon():
    """A Jump List over a taskbar: a white list with four entries and a separator, whose
    pointer rests on the highlighted button of a navy bar."""
    c = Canvas(48)
    # The list, with a soft shadow.
    c.fill(9, 3, 41, 33, GREY)
    c.fill(7, 1, 39, 31, WHITE)
    c.frame(7, 1, 39, 31, BLACK)
    entries = [(4, BLUE), (10, GREEN), (20, RED), (26, PURPLE)]
    for y, colour in entries:
        c.fill(10, y, 14, y + 4, colour)
        c.fill(17, y + 1, 35, y + 2, GREY)
    c.fill(10, 17, 36, 17, SILVER)  # separator
    # The pointer from the list down to its button.
    c.fill(16, 31, 20, 31, WHITE)
    for i, (x0, x1) in enumerate([(15, 21), (16, 20), (17, 19), (18, 18)]):
        c.fill(x0, 32 + i, x1, 32 + i, WHITE)
        c.px[32 + i][x0] = BLACK
        c.px[32 + i][x1] = BLACK
    # The taskbar.
    c.fill(0, 38, 47, 47, NAVY)
    c.fill(0, 38, 47, 38, BLUE)
    c.fill(2, 40, 8, 46, GREEN)        # start button
    c.fill(12, 40, 24, 46, AQUA)       # this program's button, highlighted
    c.fill(15, 42, 21, 44, WHITE)
    c.fill(28, 40, 36, 46, TEAL)       # another program
    return c


def separator_icon():
    """Transparent except one black line across the middle row."""
    c = Canvas(16)
    c.fill(1, 8, 14, 8, BLACK)
    return c


def solid(size, colour):
    c = Canvas(size)
    c.fill(0, 0, size - 1, size - 1, colour)
    return c


def main(argv):
    if len(argv) != 3 or argv[1] not in ("program", "test"):
        sys.stderr.write(__doc__)
        return 2
    outdir = argv[2]
    os.makedirs(outdir, exist_ok=True)
    if argv[1] == "program":
        write_ico(os.path.join(outdir, "zembro.ico"), [(program_icon(), 4, VGA)])
        write_ico(os.path.join(outdir, "separator.ico"), [(separator_icon(), 8, VGA)])
    else:
        for name, colour in (("red", RED), ("green", GREEN), ("blue", BLUE)):
            write_ico(os.path.join(outdir, name + ".ico"),
                      [(solid(32, colour), 8, VGA), (solid(16, colour), 8, VGA)])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
