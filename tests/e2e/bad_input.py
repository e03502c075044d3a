#!/usr/bin/env python3
"""Files and checks for the bad-input end-to-end tests.

Files (written to OUT):
  model KIND OUT      a "model.x": empty, truncated (the sample cut in the
                      middle), random (bytes), binary (the sample model in
                      binary .x), nomaterials (the sample's geometry, text,
                      without a material list), huge (a grid of FACES
                      triangles, default 320000, in the sample frame's
                      orange, binary)
  texture-model NAME OUT [ENCODING]  the sample model with its picture's
                      texture file name replaced by NAME (written in code page
                      932, or in ENCODING: utf-8, cp1252)
  two-textures PICTURE FRAME OUT  the sample model with its picture wearing
                      PICTURE and its frame, white, wearing FRAME
  image KIND OUT      a texture or skin: odd (37 x 13, solid green 24-bit
                      BMP), notimage (text), jpeg-red, jpeg-green, jpeg-blue
                      (64 x 64 JPEG of one colour), skin-1x1, skin-large (400 x 300,
                      a face with a key-coloured viewfinder, wider and
                      taller than the panel), skin-allkey (177 x 152, every
                      pixel the key colour)
  rewrite OUT SECONDS write the sample model over OUT again and again in
                      pieces (a partial file stands for a few milliseconds at
                      a time) for SECONDS, then leave it whole

Checks of a screenshot (X Y W H: the display window's client area; B*
positions are back-buffer pixels of the 594 x 578 back buffer):
  colour SHOT X Y W H BX BY   prints "R G B"
  saverow SHOT X Y W H        prints the number of text pixels on the save
                              row and the back-buffer x of the rightmost one
  columns SHOT X Y W H        the key-help and tint rows keep their columns:
                              each run of text starts where its column of
                              half-width cells puts it, so the key labels
                              stand over the values beneath them; exits 1
                              when a run is more than 2 pixels off
  offscreen BMP LEFT TOP SW SH [dark-ok] [L,T,R,B...]  the grab BMP, whose
                              top-left pixel is screen (LEFT, TOP) on an
                              SW x SH screen, is black off the screen (and,
                              given the monitors' rectangles, off every
                              monitor), and (unless dark-ok) mostly not
                              black on it (a pattern beneath)
  bmp W H FILE...             exits 0 when every FILE is a complete 24-bit
                              BMP of W x H pixels as the program writes them
"""

import importlib.util
import os
import random
import struct
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
SAMPLE = os.path.join(REPO, "assets", "model.x")
FILTER_NAME = "フィルター.bmp".encode("cp932")
BACK_BUFFER = (594, 578)
KEY = (255, 0, 255)


def tool(name):
    loader_spec = importlib.util.spec_from_file_location(name.replace("-", "_"),
                                                  os.path.join(REPO, "tools", name + ".py"))
    module = importlib.util.module_from_spec(loader_spec)
    loader_spec.loader.exec_module(module)
    return module


def sample():
    with open(SAMPLE, "rb") as f:
        return f.read()


# --- models -------------------------------------------------------------------


def binary_sample():
    """The sample model (tools/make-model.py's geometry and materials) in
    binary .x, through the corpus writer."""
    model, corpus = tool("make-model"), tool("make-x-corpus")
    m = model.build()
    children = [
        corpus.normals(m.normals, m.faces),
        corpus.texcoords(m.uvs),
        corpus.material_list(2, m.materials, [
            corpus.material((1, 1, 1, 1), texture=FILTER_NAME),
            corpus.material(model.FRAME_COLOUR),
        ]),
    ]
    return corpus.binary_file([corpus.mesh(m.vertices, m.faces, children)])


def without_material_list(text):
    start = text.index(b"MeshMaterialList")
    depth, at = 0, text.index(b"{", start)
    while True:
        if text[at:at + 1] == b"{":
            depth += 1
        elif text[at:at + 1] == b"}":
            depth -= 1
            if depth == 0:
                break
        at += 1
    line_start = text.rindex(b"\n", 0, start) + 1
    return text[:line_start] + text[at + 1:]


def huge_grid(faces):
    """A flat grid over the sample frame's front (1.8 x 1.4 at z 0) with
    about `faces` triangles, one orange material, in binary .x. No normals:
    the light's ambient part alone shows the material's colour."""
    corpus, model = tool("make-x-corpus"), tool("make-model")
    n = max(1, int((faces / 2) ** 0.5))
    w, h = model.FRAME_HALF_WIDTH, model.FRAME_HALF_HEIGHT
    tok, name = corpus.tok, corpus.b_name

    def ints(values):
        return tok(6) + struct.pack("<I", len(values)) + struct.pack("<%dI" % len(values), *values)

    def floats(values):
        return tok(7) + struct.pack("<I", len(values)) + struct.pack("<%df" % len(values), *values)

    coords = []
    for j in range(n + 1):
        y = h - 2 * h * j / n
        for i in range(n + 1):
            coords += (-w + 2 * w * i / n, y, 0.0)
    face_ints = []
    for j in range(n):
        for i in range(n):
            a = j * (n + 1) + i
            # Clockwise as seen from the camera (-z), as make-model.py's quads.
            face_ints += (3, a, a + 1, a + n + 2, 3, a, a + n + 2, a + n + 1)
    count = 2 * n * n
    body = name(b"Mesh") + tok(10)
    body += ints([(n + 1) * (n + 1)]) + floats(coords) + ints([count]) + ints(face_ints)
    body += name(b"MeshMaterialList") + tok(10) + ints([1, 1, 0])
    body += name(b"Material") + tok(10) + floats(list(model.FRAME_COLOUR) + [0.0] + [0.0] * 6)
    body += tok(11) + tok(11) + tok(11)
    return b"xof 0303bin 0032" + body


def model_file(kind, out):
    if kind == "empty":
        data = b""
    elif kind == "truncated":
        text = sample()
        data = text[:len(text) // 2]
    elif kind == "random":
        data = random.Random(462).randbytes(4096)
    elif kind == "binary":
        data = binary_sample()
    elif kind == "nomaterials":
        data = without_material_list(sample())
    elif kind.startswith("huge"):
        faces = int(kind[4:] or 320000)
        data = huge_grid(faces)
    else:
        sys.exit("unknown model kind " + kind)
    write_whole(out, data)


def write_whole(path, data):
    """Written beside and renamed over, so that no reader sees it half done."""
    partial = path + ".partial"
    with open(partial, "wb") as f:
        f.write(data)
    os.replace(partial, path)


def texture_model(texture, out, encoding="cp932"):
    text = sample()
    assert FILTER_NAME in text
    write_whole(out, text.replace(b'"' + FILTER_NAME + b'"',
                                  b'"' + texture.encode(encoding) + b'"'))


def two_textures(picture, frame, out):
    text = sample()
    frame_colour = b"0.900000;0.450000;0.100000;1.000000;;"
    assert FILTER_NAME in text and frame_colour in text
    text = text.replace(b'"' + FILTER_NAME + b'"', b'"' + picture.encode("ascii") + b'"')
    text = text.replace(frame_colour, b"1.000000;1.000000;1.000000;1.000000;;")
    end = text.rindex(b"}", 0, text.rindex(b"}", 0, text.rindex(b"}")))  # the frame's Material
    texture = b'  TextureFilename { "' + frame.encode("ascii") + b'"; }\r\n    '
    write_whole(out, text[:end] + texture + text[end:])


def rewrite(out, seconds):
    """Writes the sample over `out` in pieces, with pauses between them, so
    that the program meets empty and partial files, until time is up."""
    data = sample()
    rng = random.Random(7)
    end = time.time() + seconds
    rounds = 0
    while time.time() < end:
        with open(out, "wb") as f:
            at = 0
            while at < len(data):
                step = rng.randint(64, 1024)
                f.write(data[at:at + step])
                f.flush()
                at += step
                time.sleep(rng.uniform(0.0, 0.004))
        rounds += 1
        time.sleep(rng.uniform(0.0, 0.01))
    with open(out, "wb") as f:
        f.write(data)
    print(rounds)


# --- pictures -----------------------------------------------------------------


def bmp24(width, height, pixel):
    """A bottom-up 24-bit BMP; pixel(x, y) gives (r, g, b), y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row + bytes(stride - len(row))))
    image = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 0, 0, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54) + info + image


def large_skin(x, y):
    # A face with the viewfinder opening where the panel's skin has it, and
    # a key-coloured bottom-left corner; bigger than the panel.
    if 31 <= x < 169 and 33 <= y < 144:
        return KEY
    if x < 8 and y >= 292:
        return KEY
    return (90, 40, 140) if (x // 10 + y // 10) % 2 else (150, 80, 200)


def image_file(kind, out):
    if kind == "odd":
        data = bmp24(37, 13, lambda x, y: (0, 200, 0))
    elif kind == "notimage":
        data = b"This is not a picture.\r\n" * 40
    elif kind.startswith("jpeg-"):
        import subprocess
        colour = {"red": "rgb(220,0,0)", "green": "rgb(0,200,0)", "blue": "rgb(0,0,220)"}
        data = subprocess.run(["convert", "-size", "64x64", "xc:" + colour[kind[5:]], "jpeg:-"],
                              check=True, capture_output=True).stdout
    elif kind == "skin-1x1":
        data = bmp24(1, 1, lambda x, y: (10, 200, 30))
    elif kind == "skin-large":
        data = bmp24(400, 300, large_skin)
    elif kind == "skin-allkey":
        data = bmp24(177, 152, lambda x, y: KEY)
    else:
        sys.exit("unknown image kind " + kind)
    write_whole(out, data)


# --- checks -------------------------------------------------------------------


class Screen:
    """A screenshot (any format ImageMagick reads; a binary PPM is read
    directly) and the display window's client area in it."""

    def __init__(self, path, x, y, width, height):
        with open(path, "rb") as f:
            data = f.read()
        if data[:2] != b"P6":
            import subprocess
            data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                                  capture_output=True).stdout
        fields, at = [], 2
        while len(fields) < 3:
            while data[at:at + 1].isspace():
                at += 1
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(int(data[at:end]))
            at = end
        self.width, self.height = fields[0], fields[1]
        if fields[2] != 255:
            raise ValueError("%s: %d-bit PPM, expected 8-bit" % (path, fields[2].bit_length()))
        self.pixels = data[at + 1:]
        self.x, self.y = x, y
        self.sx = width / BACK_BUFFER[0]
        self.sy = height / BACK_BUFFER[1]

    def at(self, bx, by):
        """Colour of the screen pixel that shows back-buffer pixel (bx, by)."""
        px = self.x + int((bx + 0.5) * self.sx)
        py = self.y + int((by + 0.5) * self.sy)
        i = 3 * (py * self.width + px)
        return tuple(self.pixels[i:i + 3])


def save_row(screen):
    """Text pixels of the save row (back-buffer rows 4 to 18), counted from
    x 70 as picture_check.py does (the panel may cover the start)."""
    count, right = 0, -1
    for by in range(4, 19):
        for bx in range(70, 590):
            c = screen.at(bx, by)
            if min(c) > 90 and max(c) - min(c) < 40:
                count += 1
                right = max(right, bx)
    return count, right


# The columns (in half-width cells) where the runs of text start on the
# key-help row (after "キーボード:", whose own start is left out) and on the
# tint row with the starting values: "1 2", "3 4", "5 6", "7 U" ... over
# "[赤 250]", "[緑 250]", "[青 250]", "[透明 50]" ...
KEY_HELP_COLUMNS = (13, 24, 35, 72, 83, 90, 97)
TINT_COLUMNS = (10, 20, 30, 65, 81, 88, 95)


def is_text(c):
    return min(c) > 90 and max(c) - min(c) < 40


def text_runs(screen, top, gap=13):
    """Back-buffer x where each run of text on the 15-pixel row at TOP
    starts; runs are parted by at least GAP blank columns (an ideographic
    space, wider than a half-width one with the glyphs' sides)."""
    runs, blank = [], gap
    for bx in range(BACK_BUFFER[0]):
        if any(is_text(screen.at(bx, by)) for by in range(top, top + 15)):
            if blank >= gap:
                runs.append(bx)
            blank = 0
        else:
            blank += 1
    return runs


def check_columns(screen):
    points = list(zip(KEY_HELP_COLUMNS, text_runs(screen, 40)[1:]))
    points += list(zip(TINT_COLUMNS, text_runs(screen, 56)))
    if len(points) < 5:
        return ["only %d runs of text on the status rows" % len(points)]
    n = len(points)
    mean_c = sum(c for c, _ in points) / n
    mean_x = sum(x for _, x in points) / n
    advance = (sum((c - mean_c) * (x - mean_x) for c, x in points) /
               sum((c - mean_c) ** 2 for c, _ in points))
    print("half-width advance %.2f px" % advance)
    problems = []
    for column, x in points:
        expected = mean_x + (column - mean_c) * advance
        if abs(x - expected) > 2:
            problems.append("the run at column %d starts at x %d, not %.0f" % (column, x, expected))
    return problems


def check_bmp(path, width, height):
    with open(path, "rb") as f:
        data = f.read()
    stride = (width * 3 + 3) & ~3
    image = stride * height
    problems = []
    if len(data) < 54:
        return ["only %d bytes" % len(data)]
    bf_type, bf_size, r1, r2, off = struct.unpack_from("<2sIHHI", data, 0)
    bi = struct.unpack_from("<IiiHHIIiiII", data, 14)
    if bf_type != b"BM":
        problems.append("type %r" % bf_type)
    if bf_size != len(data):
        problems.append("bfSize %d, file %d bytes" % (bf_size, len(data)))
    if len(data) != 54 + image:
        problems.append("file %d bytes, expected %d" % (len(data), 54 + image))
    if (r1, r2, off) != (0, 0, 54):
        problems.append("reserved/offset %r" % ((r1, r2, off),))
    expected = (40, width, height, 1, 24, 0, image, 0, 0, 0, 0)
    if bi != expected:
        problems.append("info header %r, expected %r" % (bi, expected))
    return problems


def read_bmp24(path):
    """(width, height, rows top-down of (r, g, b) tuples) of a 24-bit BMP."""
    with open(path, "rb") as f:
        data = f.read()
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        at = 54 + (height - 1 - y) * stride
        rows.append([tuple(data[at + 3 * x + 2 - k] for k in range(3)) for x in range(width)])
    return width, height, rows


def check_offscreen(path, left, top, screen_w, screen_h, lit_needed=True, monitors=()):
    """The grab with its top-left corner at screen (left, top): black where
    it is off the screen (or off every one of the monitors, rectangles
    (l, t, r, b), when given); where it is on, not all black (a pattern lies
    beneath). Returns the problems and counts."""
    width, height, rows = read_bmp24(path)
    monitors = monitors or [(0, 0, screen_w, screen_h)]
    off_lit, on, on_lit = 0, 0, 0
    for y in range(height):
        for x in range(width):
            sx, sy = left + x, top + y
            lit = max(rows[y][x]) > 0
            if 0 <= sx < screen_w and 0 <= sy < screen_h and any(
                    l <= sx < r and t <= sy < b for l, t, r, b in monitors):
                on += 1
                on_lit += lit
            else:
                off_lit += lit
    problems = []
    if off_lit:
        problems.append("%d pixels off the screen are not black" % off_lit)
    if lit_needed and on and on_lit < on // 2:
        problems.append("only %d of the %d pixels on the screen show anything" % (on_lit, on))
    return problems, "%dx%d, %d on the screen (%d lit), %d off" % (
        width, height, on, on_lit, width * height - on)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    command, args = sys.argv[1], sys.argv[2:]
    if command == "model":
        model_file(args[0], args[1])
    elif command == "texture-model":
        texture_model(*args[:3])
    elif command == "two-textures":
        two_textures(*args[:3])
    elif command == "image":
        image_file(args[0], args[1])
    elif command == "rewrite":
        rewrite(args[0], float(args[1]))
    elif command == "colour":
        s = Screen(args[0], *map(int, args[1:5]))
        print("%d %d %d" % s.at(int(args[5]), int(args[6])))
    elif command == "saverow":
        s = Screen(args[0], *map(int, args[1:5]))
        print("%d %d" % save_row(s))
    elif command == "columns":
        problems = check_columns(Screen(args[0], *map(int, args[1:5])))
        for p in problems:
            print(p)
        sys.exit(1 if problems else 0)
    elif command == "offscreen":
        flags = args[5:]
        monitors = [tuple(map(int, m.split(","))) for m in flags if m != "dark-ok"]
        problems, counts = check_offscreen(args[0], *map(int, args[1:5]),
                                           lit_needed="dark-ok" not in flags,
                                           monitors=monitors)
        print(counts)
        for p in problems:
            print(p)
        sys.exit(1 if problems else 0)
    elif command == "bmp":
        width, height, failed = int(args[0]), int(args[1]), False
        for path in args[2:]:
            for problem in check_bmp(path, width, height):
                print("%s: %s" % (os.path.basename(path), problem))
                failed = True
        sys.exit(1 if failed else 0)
    else:
        sys.exit("unknown command " + command)


if __name__ == "__main__":
    main()
