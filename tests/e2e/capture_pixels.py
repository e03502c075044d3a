#!/usr/bin/env python3
"""Pixel checks for the capture and keyboard end-to-end tests.

  capture_pixels.py compare BMP SCREENSHOT X Y [SKIP_X SKIP_Y]
      The 24-bit BMP must equal the screenshot's rectangle of the BMP's size
      at (X, Y), pixel for pixel, except where the screen position is at or
      right of SKIP_X and at or below SKIP_Y (a part of the screen that
      changes from frame to frame). Pixels whose screen position is off the
      screen must be black. Prints the counts; exits 1 on a mismatch or when
      the compared part is all one colour.
  capture_pixels.py text SCREENSHOT X Y W H
      Prints how many pixels of the rectangle look like status text (light
      grey, little colour).
  capture_pixels.py mean SCREENSHOT X Y W H
      Prints the mean red, green and blue of the rectangle.
"""

import struct
import subprocess
import sys


def load_screenshot(path):
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                         capture_output=True).stdout
    fields, offset = [], 0
    while len(fields) < 4:
        while ppm[offset:offset + 1].isspace():
            offset += 1
        end = offset
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[offset:end])
        offset = end
    width, height = int(fields[1]), int(fields[2])
    data = ppm[offset + 1:]

    def at(x, y):
        i = (y * width + x) * 3
        return tuple(data[i:i + 3])

    return width, height, at


def load_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise SystemExit("%s: not a BMP file" % path)
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    bits, = struct.unpack_from("<H", data, 28)
    if bits != 24 or height <= 0:
        raise SystemExit("%s: expected 24-bit bottom-up rows" % path)
    stride = (width * 3 + 3) // 4 * 4

    def at(x, y):  # y from the top
        i = offset + (height - 1 - y) * stride + x * 3
        b, g, r = data[i:i + 3]
        return (r, g, b)

    return width, height, at


def compare(bmp, shot, x0, y0, skip_x=None, skip_y=None):
    width, height, bmp_at = load_bmp(bmp)
    sw, sh, shot_at = load_screenshot(shot)
    compared = mismatched = off_screen = 0
    colours = set()
    first = []
    for y in range(height):
        for x in range(width):
            sx, sy = x0 + x, y0 + y
            if skip_x is not None and sx >= skip_x and sy >= skip_y:
                continue
            if not (0 <= sx < sw and 0 <= sy < sh):
                off_screen += 1
                if bmp_at(x, y) != (0, 0, 0):
                    mismatched += 1
                    if len(first) < 5:
                        first.append("(%d, %d): off the screen but %s" % (x, y, bmp_at(x, y)))
                continue
            compared += 1
            a, b = bmp_at(x, y), shot_at(sx, sy)
            colours.add(a)
            if a != b:
                mismatched += 1
                if len(first) < 5:
                    first.append("(%d, %d): file %s, screen %s" % (x, y, a, b))
    print("%dx%d file; %d pixels compared, %d off the screen, %d differ, %d colours"
          % (width, height, compared, off_screen, mismatched, len(colours)))
    for line in first:
        print("  " + line)
    return 0 if compared > 0 and mismatched == 0 and len(colours) > 1 else 1


def region(shot, x0, y0, w, h):
    _, _, at = load_screenshot(shot)
    return [at(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)]


def main(arguments):
    if not arguments:
        print(__doc__)
        return 2
    command, rest = arguments[0], arguments[1:]
    if command == "compare":
        numbers = [int(v) for v in rest[2:]]
        return compare(rest[0], rest[1], *numbers)
    if command == "text":
        pixels = region(rest[0], *(int(v) for v in rest[1:5]))
        print(sum(1 for c in pixels if min(c) > 90 and max(c) - min(c) < 40))
        return 0
    if command == "mean":
        pixels = region(rest[0], *(int(v) for v in rest[1:5]))
        n = max(len(pixels), 1)
        print(" ".join(str(round(sum(c[i] for c in pixels) / n)) for i in range(3)))
        return 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
