#!/usr/bin/env python3
"""Checks a screenshot of the display window for the picture the program
draws with the sample model from the starting camera.

Usage: picture_check.py [--saved] SCREENSHOT.png X Y WIDTH HEIGHT
X, Y, WIDTH, HEIGHT: the display window's client area on the screen. The
program draws into a 594 x 578 back buffer that the present stretches onto
the client area; every position below is in back-buffer pixels.

Expected (see tools/make-model.py and the test): an orange frame around the
picture, the picture wearing the grab of a pattern shown under the
viewfinder (white mark top left, green top right, red bottom left on blue),
the tint rectangle (20, 84, 200, 200) blending about a fifth of near-white
over whatever lies beneath, and grey status text on the rows at y 40 and 56.
With --saved, a save confirmation must show on the row at y 4; without, that
row must be empty. Prints every sample; exits 1 when a check fails.
"""

import subprocess
import sys

BACK_BUFFER = (594, 578)
TINT_ALPHA = 50 / 255
TINT_COLOUR = 250


def load(path):
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                         capture_output=True).stdout
    fields, offset = [], 0
    while len(fields) < 4:  # magic, width, height, maximum
        while ppm[offset:offset + 1].isspace():
            offset += 1
        end = offset
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[offset:end])
        offset = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, ppm[offset + 1:]


class Screen:
    def __init__(self, path, x, y, width, height):
        self.width, self.height, self.pixels = load(path)
        self.x, self.y = x, y
        self.sx = width / BACK_BUFFER[0]
        self.sy = height / BACK_BUFFER[1]

    def at(self, bx, by):
        """Colour of the screen pixel that shows back-buffer pixel (bx, by)."""
        px = self.x + int((bx + 0.5) * self.sx)
        py = self.y + int((by + 0.5) * self.sy)
        i = 3 * (py * self.width + px)
        return tuple(self.pixels[i:i + 3])


failures = []


def check(what, ok, colour):
    print("%-4s %-46s %s" % ("ok" if ok else "FAIL", what, colour))
    if not ok:
        failures.append(what)


def near(value, expected, tolerance):
    return abs(value - expected) <= tolerance


def main():
    arguments = sys.argv[1:]
    saved = arguments[:1] == ["--saved"]
    if saved:
        arguments = arguments[1:]
    path, x, y, width, height = arguments[0], *map(int, arguments[1:5])
    s = Screen(path, x, y, width, height)

    def black(c):
        return max(c) < 24

    def orange(c):
        return c[0] > 220 and 100 < c[1] < 175 and c[2] < 70

    def tinted_black(c):
        expected = TINT_ALPHA * TINT_COLOUR
        return all(near(v, expected, 14) for v in c)

    def tinted(inside, outside):
        return all(near(i, (1 - TINT_ALPHA) * o + TINT_ALPHA * TINT_COLOUR, 16)
                   for i, o in zip(inside, outside))

    # Background and the frame (untextured material, lit orange).
    for name, point in (("background right of the tint", (300, 120)),
                        ("background below the model", (300, 540))):
        check(name, black(s.at(*point)), s.at(*point))
    for name, point in (("frame, top rim", (400, 175)), ("frame, right rim", (517, 335)),
                        ("frame, bottom rim", (300, 499)), ("frame, left rim", (78, 335))):
        check(name, orange(s.at(*point)), s.at(*point))

    # The picture wears the grab, upright and not mirrored.
    white = s.at(123, 211)
    check("picture, white mark top left (under the tint)", min(white) > 200, white)
    green = s.at(470, 211)
    check("picture, green mark top right", green[1] > 150 and green[0] < 90 and green[2] < 90,
          green)
    red = s.at(128, 463)
    check("picture, red mark bottom left", red[0] > 150 and red[1] < 70 and red[2] < 70, red)
    blue = s.at(214, 337)
    check("picture, blue ground", blue[2] > 150 and blue[0] < 100, blue)

    # The tint rectangle (20, 84)-(220, 284): inside and just outside.
    for name, inside, outside in (("tint, top edge", (60, 90), (60, 78)),
                                  ("tint, left edge", (26, 150), (14, 150)),
                                  ("tint, bottom edge", (60, 278), (60, 290)),
                                  ("tint, right edge over black", (214, 120), (226, 120))):
        i, o = s.at(*inside), s.at(*outside)
        check(name + " (inside)", tinted_black(i), i)
        check(name + " (outside)", black(o), o)
    for name, inside, outside in (("tint over the frame", (150, 175), (240, 175)),
                                  ("tint over the picture", (200, 250), (240, 250))):
        i, o = s.at(*inside), s.at(*outside)
        check(name, tinted(i, o), "%s inside, %s outside" % (i, o))

    # Status text: grey glyph pixels on the two rows, none where the save
    # confirmation would go.
    # The panel, at the screen's top-left corner, covers the start of the
    # save row: count from x 70 there.
    def text_pixels(top, bottom, left):
        count = 0
        for by in range(top, bottom):
            for bx in range(left, 590):
                c = s.at(bx, by)
                if min(c) > 90 and max(c) - min(c) < 40:
                    count += 1
        return count

    for name, rows, left, low, high in (("key-help row", (40, 55), 50, 40, 100000),
                                        ("tint row", (56, 71), 50, 40, 100000),
                                        ("save row", (4, 19), 70, *((20, 100000) if saved else (0, 0)))):
        n = text_pixels(*rows, left)
        check(name, low <= n <= high, "%d text pixels" % n)

    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
