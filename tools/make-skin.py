#!/usr/bin/env python3
"""Draws the control panel's skin, assets/枠.bmp: a 177 x 152 24-bit BMP.

Every magenta pixel (the colour of the bottom-left pixel) is cut out of the
panel. The bitmap is placed at the panel's client origin, which lies 4 pixels
inside the window's left and top edges, so bitmap pixel (x, y) shows at
window position (x + 4, y + 4):

- The viewfinder opening is the rectangle the capture grabs (window x 35 to
  172, y 37 to 147), that is bitmap x 31 to 168, y 33 to 143: what lies
  beneath the panel shows there and is what the capture sees.
- The panel paints the bitmap into its client area (window x 4 to 172, y 4
  to 147, bitmap x 0 to 168, y 0 to 143). Bitmap columns 169 to 172 and rows
  144 to 147 lie over the window's right and bottom frame, which the system
  draws: there the bitmap only decides the outline, and it keeps the frame,
  so the opening is closed on all four sides. Columns 173 and up and rows 148
  and up fall outside the window; they are cut, so that the outline is what
  can be seen. The bottom-left pixel, which gives the key colour, is one of
  them.
- The controls sit on the top bar, client x 9 to 163, y 7 to 28.

Usage: make-skin.py [output path]   (default: assets/枠.bmp next to tools/)
"""

import os
import struct
import sys

WIDTH, HEIGHT = 177, 152
KEY = (255, 0, 255)

# The part of the bitmap inside the window (exclusive ends).
VISIBLE_W, VISIBLE_H = WIDTH - 4, HEIGHT - 4
# The viewfinder opening (exclusive ends), in bitmap coordinates.
OPEN_LEFT, OPEN_TOP, OPEN_RIGHT, OPEN_BOTTOM = 31, 33, 169, 144
CORNER_RADIUS = 6

FACE = (58, 63, 71)
BAR = (66, 72, 82)
HIGHLIGHT = (112, 120, 134)
SHADOW = (30, 33, 38)
LIP_DARK = (22, 24, 28)
LIP_LIGHT = (92, 99, 111)
GROOVE_DARK = (40, 44, 50)
GROOVE_LIGHT = (86, 93, 105)
GRIP_DARK = (36, 40, 46)
GRIP_LIGHT = (98, 106, 120)
ACCENT = (224, 160, 48)


def outside_rounded(x, y, left, top, right, bottom, radius):
    """Whether (x, y) lies in a cut-away corner of the rounded rectangle."""
    for cx, cy, inside in (
        (left + radius, top + radius, x < left + radius and y < top + radius),
        (right - 1 - radius, top + radius, x > right - 1 - radius and y < top + radius),
        (left + radius, bottom - 1 - radius, x < left + radius and y > bottom - 1 - radius),
        (right - 1 - radius, bottom - 1 - radius,
         x > right - 1 - radius and y > bottom - 1 - radius),
    ):
        if inside and (x - cx) ** 2 + (y - cy) ** 2 > radius * radius + radius // 2:
            return True
    return False


def pixel(x, y):
    if x >= VISIBLE_W or y >= VISIBLE_H:
        return KEY
    if outside_rounded(x, y, 0, 0, VISIBLE_W, VISIBLE_H, CORNER_RADIUS):
        return KEY
    if OPEN_LEFT <= x < OPEN_RIGHT and OPEN_TOP <= y < OPEN_BOTTOM:
        return KEY

    # Outer bevel: light from the top left.
    if x == 0 or y == 0:
        return HIGHLIGHT
    if x == VISIBLE_W - 1 or y == VISIBLE_H - 1:
        return SHADOW
    if outside_rounded(x, y, 1, 1, VISIBLE_W - 1, VISIBLE_H - 1, CORNER_RADIUS - 1):
        # The ring just inside a rounded corner keeps the bevel's colour.
        return HIGHLIGHT if x + y < (VISIBLE_W + VISIBLE_H) // 2 else SHADOW

    # A recessed lip around the opening: dark above and left, light below
    # and right.
    if (x == OPEN_LEFT - 1 and OPEN_TOP - 1 <= y <= OPEN_BOTTOM) or (
        y == OPEN_TOP - 1 and OPEN_LEFT - 1 <= x <= OPEN_RIGHT
    ):
        return LIP_DARK
    if (x == OPEN_RIGHT and OPEN_TOP - 1 <= y <= OPEN_BOTTOM) or (
        y == OPEN_BOTTOM and OPEN_LEFT - 1 <= x <= OPEN_RIGHT
    ):
        return LIP_LIGHT

    # Viewfinder brackets on the frame at the opening's two left corners.
    if OPEN_LEFT - 5 <= x <= OPEN_LEFT - 4 and (
        OPEN_TOP - 4 <= y < OPEN_TOP + 8 or OPEN_BOTTOM - 8 <= y < OPEN_BOTTOM + 2
    ):
        return ACCENT
    if OPEN_TOP - 5 <= y <= OPEN_TOP - 4 and OPEN_LEFT - 5 <= x < OPEN_LEFT + 8:
        return ACCENT
    if OPEN_TOP - 5 <= y <= OPEN_TOP - 4 and OPEN_RIGHT - 8 <= x < OPEN_RIGHT + 1:
        return ACCENT

    # The top bar behind the controls, closed by a groove.
    if y < OPEN_TOP - 6:
        if y == OPEN_TOP - 7:
            return GROOVE_DARK
        return BAR
    if y == OPEN_TOP - 6:
        return GROOVE_LIGHT

    # A grip of ridges on the left band: the place to take the panel by.
    if 9 <= x <= 18 and 48 <= y <= 128 and (y - 48) % 5 in (0, 1):
        return GRIP_LIGHT if (y - 48) % 5 == 0 else GRIP_DARK
    return FACE


def bmp_bytes():
    stride = (WIDTH * 3 + 3) // 4 * 4
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    image = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    return header + info + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "assets", "枠.bmp")
    data = bmp_bytes()
    with open(target, "wb") as out:
        out.write(data)
    print(f"{target}: {len(data)} bytes")


if __name__ == "__main__":
    main()
