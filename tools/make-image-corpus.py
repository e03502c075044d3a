#!/usr/bin/env python3
"""Writes the picture corpus under tests/data/images/: one 5 by 3 test pattern
in the formats textures come in (PNG, TGA, JPEG, and BMP of every kind), for
the decoder tests and as seeds for the BMP fuzz target.

JPEG needs ImageMagick's `convert`; without it that file is left as it is.

Usage: tools/make-image-corpus.py [output folder]  (default: tests/data/images)
"""

import os
import shutil
import struct
import subprocess
import sys
import zlib

# Top row first; (red, green, blue, alpha).
PATTERN = [
    [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (0, 0, 0)],
    [(10, 20, 30), (200, 100, 50), (0, 255, 255), (255, 0, 255), (128, 128, 128)],
    [(0, 0, 0), (64, 64, 64), (128, 128, 128), (192, 192, 192), (255, 255, 255)],
]
ALPHA = [255, 128, 0, 64, 200]  # per column
WIDTH, HEIGHT = 5, 3


def rgba(x, y):
    r, g, b = PATTERN[y][x]
    return r, g, b, ALPHA[x]


def png(with_alpha):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b""
    for y in range(HEIGHT):
        raw += b"\0"
        for x in range(WIDTH):
            r, g, b, a = rgba(x, y)
            raw += bytes((r, g, b, a) if with_alpha else (r, g, b))
    colour_type = 6 if with_alpha else 2
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, colour_type, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def tga(with_alpha, rle):
    bits = 32 if with_alpha else 24
    image_type = 10 if rle else 2
    descriptor = 8 if with_alpha else 0  # bottom-up, alpha bits
    out = struct.pack("<BBBHHBHHHHBB", 0, 0, image_type, 0, 0, 0, 0, 0, WIDTH, HEIGHT, bits,
                      descriptor)
    for y in reversed(range(HEIGHT)):
        pixels = []
        for x in range(WIDTH):
            r, g, b, a = rgba(x, y)
            pixels.append(bytes((b, g, r, a) if with_alpha else (b, g, r)))
        if rle:
            # One raw packet per row.
            out += bytes((len(pixels) - 1,)) + b"".join(pixels)
        else:
            out += b"".join(pixels)
    return out


def bmp_file(info, palette, rows):
    data = b"".join(rows)
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + info + palette + data


def info_header(bits, compression=0, height=HEIGHT, colours=0, size=40, masks=()):
    header = struct.pack("<IiiHHIIiiII", size, WIDTH, height, 1, bits, compression, 0, 2835,
                         2835, colours, 0)
    extra = b"".join(struct.pack("<I", m) for m in masks)
    return (header + extra).ljust(size, b"\0") if size > 40 else header


def pad(row):
    return row + b"\0" * (-len(row) % 4)


def palette_of(colours):
    return b"".join(bytes((b, g, r, 0)) for r, g, b in colours)


def bmp_24(top_down=False):
    rows = []
    for y in range(HEIGHT):
        rows.append(pad(b"".join(bytes((b, g, r)) for r, g, b in PATTERN[y])))
    if not top_down:
        rows.reverse()
    return bmp_file(info_header(24, height=-HEIGHT if top_down else HEIGHT), b"", rows)


def bmp_32(alpha_mask):
    rows = []
    for y in reversed(range(HEIGHT)):
        row = b""
        for x in range(WIDTH):
            r, g, b, a = rgba(x, y)
            row += bytes((b, g, r, a if alpha_mask else 0))
        rows.append(row)
    if alpha_mask:
        info = info_header(32, 3, size=108,
                           masks=(0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000))
    else:
        info = info_header(32)
    return bmp_file(info, b"", rows)


def bmp_565():
    rows = []
    for y in reversed(range(HEIGHT)):
        row = b""
        for r, g, b in PATTERN[y]:
            row += struct.pack("<H", (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3))
        rows.append(pad(row))
    return bmp_file(info_header(16, 3), struct.pack("<III", 0xF800, 0x07E0, 0x001F), rows)


def bmp_paletted(bits, rle=False):
    colours = sorted({c for row in PATTERN for c in row})
    if bits == 1:
        colours = [(0, 0, 0), (255, 255, 255)]
    index = {c: i for i, c in enumerate(colours)}

    def nearest(c):
        if c in index:
            return index[c]
        return 1 if sum(c) > 382 else 0
    rows = []
    for y in reversed(range(HEIGHT)):
        indices = [nearest(c) for c in PATTERN[y]]
        if rle:
            rows.append(b"".join(bytes((1, i)) for i in indices) + b"\0\0")
            continue
        if bits == 8:
            row = bytes(indices)
        elif bits == 4:
            indices += [0]
            row = bytes((indices[i] << 4 | indices[i + 1]) for i in range(0, WIDTH, 2))
        else:
            value = 0
            for i in indices:
                value = value << 1 | i
            row = bytes((value << (8 - WIDTH),))
        rows.append(pad(row))
    if rle:
        rows[-1] = rows[-1][:-2] + b"\0\1"
    info = info_header(bits, 1 if rle else 0, colours=len(colours))
    return bmp_file(info, palette_of(colours), rows)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "tests", "data", "images")
    os.makedirs(out, exist_ok=True)
    files = {
        "pattern.png": png(False),
        "pattern_alpha.png": png(True),
        "pattern.tga": tga(False, False),
        "pattern_alpha_rle.tga": tga(True, True),
        "pattern_24.bmp": bmp_24(),
        "pattern_24_top_down.bmp": bmp_24(top_down=True),
        "pattern_32.bmp": bmp_32(False),
        "pattern_32_alpha.bmp": bmp_32(True),
        "pattern_565.bmp": bmp_565(),
        "pattern_8.bmp": bmp_paletted(8),
        "pattern_4.bmp": bmp_paletted(4),
        "pattern_1.bmp": bmp_paletted(1),
        "pattern_rle8.bmp": bmp_paletted(8, rle=True),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    if shutil.which("convert"):
        subprocess.run(["convert", os.path.join(out, "pattern.png"), "-quality", "100",
                        "-sampling-factor", "1x1", "-strip", os.path.join(out, "pattern.jpg")],
                       check=True)
    else:
        print("make-image-corpus: no `convert`; pattern.jpg left as it is", file=sys.stderr)


if __name__ == "__main__":
    main()
