#!/usr/bin/env python3
"""Writes the program's .ico files, and the ones the icon lookup tests use.

    make-icons.py program OUTDIR   zembro.ico (16 to 256 px, 32-bit with alpha, 256 as PNG),
                                   separator.ico (16x16, 256 colours)
    make-icons.py test OUTDIR      red.ico, green.ico, blue.ico: solid squares, 16x16 and 32x32 each

Small pictures are drawn as rows of palette indices (None is a transparent pixel);
the program icon is drawn from shapes on a 48-unit grid at each size, with each
pixel's coverage as its alpha. The ICO, BMP and PNG bytes are written here directly
so the build needs no imaging library.
"""
import os
import struct
import sys
import zlib

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


PROGRAM_ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)


class Picture:
    """Shapes in 48-unit coordinates, rendered at any size as straight-alpha RGBA."""

    def __init__(self):
        self.shapes = []  # ("rect", x0, y0, x1, y1, rgb) or ("tri", points, rgb)

    def fill(self, x0, y0, x1, y1, colour):
        """The grid cells from (x0, y0) to (x1, y1), both corners included."""
        self.shapes.append(("rect", x0, y0, x1 + 1, y1 + 1, VGA[colour]))

    def frame(self, x0, y0, x1, y1, colour):
        self.fill(x0, y0, x1, y0, colour)
        self.fill(x0, y1, x1, y1, colour)
        self.fill(x0, y0, x0, y1, colour)
        self.fill(x1, y0, x1, y1, colour)

    def triangle(self, points, colour):
        self.shapes.append(("tri", points, VGA[colour]))

    def render(self, size):
        """Rows of (r, g, b, a), top-down: each shape laid over the ones before with
        its coverage of the pixel (exact for rectangles, 4x4 samples for triangles)."""
        scale = size / 48.0
        px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

        def blend(x, y, rgb, cover):
            if cover <= 0:
                return
            r, g, b, a = px[y][x]
            out = cover + a * (1 - cover)
            mix = lambda c, d: (c * cover + d * a * (1 - cover)) / out
            px[y][x] = (mix(rgb[0], r), mix(rgb[1], g), mix(rgb[2], b), out)

        def overlap(lo, hi, p):
            return max(0.0, min(hi, p + 1) - max(lo, p))

        for shape in self.shapes:
            if shape[0] == "rect":
                _, x0, y0, x1, y1, rgb = shape
                x0, y0, x1, y1 = x0 * scale, y0 * scale, x1 * scale, y1 * scale
                for y in range(int(y0), min(size, int(y1) + 1)):
                    cy = overlap(y0, y1, y)
                    for x in range(int(x0), min(size, int(x1) + 1)):
                        blend(x, y, rgb, cy * overlap(x0, x1, x))
            else:
                _, points, rgb = shape
                pts = [(x * scale, y * scale) for x, y in points]
                xs, ys = [p[0] for p in pts], [p[1] for p in pts]

                def inside(sx, sy):
                    signs = []
                    for i in range(3):
                        (ax, ay), (bx, by) = pts[i], pts[(i + 1) % 3]
                        signs.append((bx - ax) * (sy - ay) - (by - ay) * (sx - ax) >= 0)
                    return all(signs) or not any(signs)
                for y in range(int(min(ys)), min(size, int(max(ys)) + 1)):
                    for x in range(int(min(xs)), min(size, int(max(xs)) + 1)):
                        hits = sum(inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
                        blend(x, y, rgb, hits / 16.0)
        return [[tuple(int(round(c)) for c in p[:3]) + (int(round(p[3] * 255)),) for p in row] for row in px]


def bmp_argb_image(rows):
    """A 32-bit icon image: BITMAPINFOHEADER of twice the height, BGRA bottom-up, then
    the mask (set where a pixel is fully transparent)."""
    size = len(rows)
    xor = b"".join(b"".join(struct.pack("<BBBB", b, g, r, a) for (r, g, b, a) in rows[y])
                   for y in reversed(range(size)))
    mask = b"".join(pack_row([1 if p[3] == 0 else 0 for p in rows[y]], 1) for y in reversed(range(size)))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def png_image(rows):
    """RGBA, 8 bits a channel, no filtering."""
    size = len(rows)
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_ico_blobs(path, entries):
    """entries: a list of (size, bits per pixel, colour count, image bytes)."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for size, bpp, colours, blob in entries:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    for entry in entries:
        out += entry[3]
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(out)
    os.replace(tmp, path)


def write_program_ico(path):
    picture = program_icon(Picture())
    entries = []
    for size in PROGRAM_ICON_SIZES:
        rows = picture.render(size)
        # Images of 256 px are kept as PNG, as Windows' own icons are.
        entries.append((size, 32, 0, png_image(rows) if size >= 256 else bmp_argb_image(rows)))
    write_ico_blobs(path, entries)


def program_icon(c):
    """A Jump List over a taskbar: a white list with four entries and a separator, whose
    pointer rests on the highlighted button of a navy bar."""
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
    c.triangle([(14.5, 31.5), (22.5, 31.5), (18.5, 36.5)], BLACK)
    c.triangle([(16, 31.5), (21, 31.5), (18.5, 34.8)], WHITE)
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
        write_program_ico(os.path.join(outdir, "zembro.ico"))
        write_ico(os.path.join(outdir, "separator.ico"), [(separator_icon(), 8, VGA)])
    else:
        for name, colour in (("red", RED), ("green", GREEN), ("blue", BLUE)):
            write_ico(os.path.join(outdir, name + ".ico"),
                      [(solid(32, colour), 8, VGA), (solid(16, colour), 8, VGA)])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
