#!/usr/bin/env python3
"""Pixel checks of the control panel on a screenshot, for the panel's
end-to-end tests.

  panel_pixels.py face SHOT SKIN BENEATH X Y
      The panel's window rectangle starts at screen (X, Y). Where the skin is
      painted (client area, not a control), SHOT must show the skin; where
      the skin is key-coloured, and in the window's left and top frame
      (outside the region), SHOT must show BENEATH, a picture of what lies
      under the panel (a screenshot of the same size as SHOT, or "-" to skip
      that half). Prints the counts; exits 1 on any mismatch.
  panel_pixels.py grab GRAB SHOT X Y
      GRAB (a 24-bit BMP written by the capture) must equal SHOT's rectangle
      that starts 35 and 37 pixels inside the panel's window rectangle.
  panel_pixels.py opening SHOT SKIN X Y
      Prints the bounding box (left top right bottom, window coordinates,
      right and bottom exclusive) of the see-through opening: the connected
      pixels of the client area around the middle of the capture rectangle
      where SHOT does not show the skin (put a contrasting picture beneath).

Pictures other than BMP are read through ImageMagick's convert.
"""

import struct
import subprocess
import sys

PANEL_W, PANEL_H = 177, 152
CLIENT_X, CLIENT_Y = 4, 4  # client origin inside the window rectangle
CLIENT_RIGHT, CLIENT_BOTTOM = 173, 148  # client area's right and bottom edges
# Controls in window coordinates (client position + 4): left, top, right, bottom.
CONTROLS = [(13, 12, 48, 31), (54, 12, 74, 31), (82, 11, 167, 32)]
GRAB_X, GRAB_Y, GRAB_W, GRAB_H = 35, 37, 138, 111


class Picture:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        raise SystemExit(f"{path}: not a BMP")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    if bits != 24 or height <= 0:
        raise SystemExit(f"{path}: expected a bottom-up 24-bit BMP")
    stride = (width * 3 + 3) // 4 * 4
    rgb = bytearray(width * height * 3)
    for y in range(height):
        row = offset + (height - 1 - y) * stride
        for x in range(width):
            b, g, r = data[row + 3 * x:row + 3 * x + 3]
            rgb[(y * width + x) * 3:(y * width + x) * 3 + 3] = bytes((r, g, b))
    return Picture(width, height, bytes(rgb))


def read_picture(path):
    if path.lower().endswith(".bmp"):
        return read_bmp(path)
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                         stdout=subprocess.PIPE).stdout
    # P6 header: magic, width, height, maximum, each separated by whitespace.
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not ppm[pos:pos + 1].isspace():
            pos += 1
        fields.append(ppm[start:pos])
    pos += 1
    if fields[0] != b"P6" or fields[3] != b"255":
        raise SystemExit(f"{path}: unexpected picture format")
    width, height = int(fields[1]), int(fields[2])
    return Picture(width, height, ppm[pos:pos + width * height * 3])


def in_control(wx, wy):
    return any(l <= wx < r and t <= wy < b for l, t, r, b in CONTROLS)


def classify(skin, key, wx, wy):
    """'beneath', 'face' or None (not checked) for one window pixel."""
    if wx < CLIENT_X or wy < CLIENT_Y:
        return "beneath"
    bx, by = wx - CLIENT_X, wy - CLIENT_Y
    if skin.at(bx, by) == key:
        return "beneath"
    if wx >= CLIENT_RIGHT or wy >= CLIENT_BOTTOM:
        return None  # the window frame, drawn by the system
    if in_control(wx, wy):
        return None
    return "face"


def check_face(shot_path, skin_path, beneath_path, x0, y0):
    shot = read_picture(shot_path)
    skin = read_bmp(skin_path)
    beneath = None if beneath_path == "-" else read_picture(beneath_path)
    key = skin.at(0, skin.height - 1)
    counts = {"face": [0, 0], "beneath": [0, 0]}
    first = {}
    for wy in range(PANEL_H):
        for wx in range(PANEL_W):
            kind = classify(skin, key, wx, wy)
            if kind is None or (kind == "beneath" and beneath is None):
                continue
            sx, sy = x0 + wx, y0 + wy
            if not (0 <= sx < shot.width and 0 <= sy < shot.height):
                continue
            want = skin.at(wx - CLIENT_X, wy - CLIENT_Y) if kind == "face" else beneath.at(sx, sy)
            got = shot.at(sx, sy)
            counts[kind][0] += 1
            if got != want:
                counts[kind][1] += 1
                first.setdefault(kind, (wx, wy, want, got))
    for kind, (checked, wrong) in counts.items():
        print(f"{kind}: {checked} pixels checked, {wrong} differ")
    for kind, (wx, wy, want, got) in first.items():
        print(f"first {kind} mismatch at window ({wx}, {wy}): expected {want}, got {got}")
    return 0 if all(wrong == 0 for _, wrong in counts.values()) and counts["face"][0] > 0 else 1


def check_grab(grab_path, shot_path, x0, y0):
    grab = read_bmp(grab_path)
    shot = read_picture(shot_path)
    if (grab.width, grab.height) != (GRAB_W, GRAB_H):
        print(f"grab is {grab.width}x{grab.height}, expected {GRAB_W}x{GRAB_H}")
        return 1
    wrong, first = 0, None
    for y in range(GRAB_H):
        for x in range(GRAB_W):
            want = shot.at(x0 + GRAB_X + x, y0 + GRAB_Y + y)
            got = grab.at(x, y)
            if got != want:
                wrong += 1
                first = first or (x, y, want, got)
    print(f"grab: {GRAB_W * GRAB_H} pixels compared with the screen, {wrong} differ")
    if first:
        print("first mismatch at grab ({}, {}): screen {}, grab {}".format(*first))
    return 0 if wrong == 0 else 1


def opening(shot_path, skin_path, x0, y0):
    """The bounding box of the connected stretch of pixels, around the middle
    of the capture rectangle, where the screen does not show the skin."""
    shot = read_picture(shot_path)
    skin = read_bmp(skin_path)

    def open_at(wx, wy):
        return (CLIENT_X <= wx < CLIENT_RIGHT and CLIENT_Y <= wy < CLIENT_BOTTOM
                and not in_control(wx, wy)
                and shot.at(x0 + wx, y0 + wy) != skin.at(wx - CLIENT_X, wy - CLIENT_Y))

    start = (GRAB_X + GRAB_W // 2, GRAB_Y + GRAB_H // 2)
    if not open_at(*start):
        print("none")
        return 0
    seen, todo = {start}, [start]
    while todo:
        wx, wy = todo.pop()
        for n in ((wx + 1, wy), (wx - 1, wy), (wx, wy + 1), (wx, wy - 1)):
            if n not in seen and open_at(*n):
                seen.add(n)
                todo.append(n)
    xs = [p[0] for p in seen]
    ys = [p[1] for p in seen]
    print(min(xs), min(ys), max(xs) + 1, max(ys) + 1)
    return 0


def main(argv):
    if len(argv) == 7 and argv[1] == "face":
        return check_face(argv[2], argv[3], argv[4], int(argv[5]), int(argv[6]))
    if len(argv) == 6 and argv[1] == "grab":
        return check_grab(argv[2], argv[3], int(argv[4]), int(argv[5]))
    if len(argv) == 6 and argv[1] == "opening":
        return opening(argv[2], argv[3], int(argv[4]), int(argv[5]))
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
