#!/usr/bin/env python3
"""Writes the heavy models of the benchmark (tools/measure-fps.sh --models):
each the sample's picture frame (tools/make-model.py), seen from the starting
camera as the sample is, made heavy in one way, so that the figures show how
a frame's cost grows with it. Every model's picture wears the feedback image
"フィルター.bmp" (named in code page 932), which the program writes.

  heavy-triangles  the picture as a grid of about 100,000 triangles (50,000
                   vertices, shared), the frame around it: two materials
  heavy-textures   the picture in 3 x 3 tiles: the middle one the feedback
                   image, the others eight 2048 x 2048 pictures, three JPEG
                   (one progressive), three PNG (one with alpha) and two TGA
                   (one run-length encoded); the frame around them
  heavy-materials  2,000 materials of one face each: the picture in 1,000
                   triangles that each name the feedback image (alike, as an
                   exporter writes one material per face), and 1,000 of the
                   frame's front in turn orange, wood-textured (a 256 x 256
                   JPEG) and tinted wood, a quad's two triangles alike

Each goes to a folder of its own: model.x and its pictures, to be copied
next to the program. Pictures come from ImageMagick's convert; a folder
whose model.x is there is left as it is.

Usage: tools/make-heavy-models.py [folder]   (default: build/models)
"""

import importlib.util
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def tool(name):
    found = importlib.util.spec_from_file_location(name.replace("-", "_"),
                                                   os.path.join(HERE, name + ".py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


sample, corpus = tool("make-model"), tool("make-x-corpus")
FEEDBACK = sample.TEXTURE_NAME.encode("cp932")
WHITE = (1.0, 1.0, 1.0, 1.0)
ORANGE = sample.FRAME_COLOUR
DARK_ORANGE = (0.6, 0.3, 0.07, 1.0)
TINT = (1.0, 0.85, 0.7, 1.0)


class Model:
    """Vertices with normals and texture coordinates, triangles, and the
    material of each triangle."""

    def __init__(self):
        self.positions, self.normals, self.uvs = [], [], []
        self.faces, self.face_materials = [], []

    def grid(self, left, top, width, height, z, columns, rows, material_of, uv=(0, 0, 1, 1)):
        """A rectangle facing the camera (-z) in columns x rows quads of two
        clockwise triangles, vertices shared; material_of(quad, triangle)
        gives each triangle's material."""
        first = len(self.positions)
        u0, v0, u1, v1 = uv
        for j in range(rows + 1):
            for i in range(columns + 1):
                self.positions.append((left + width * i / columns, top - height * j / rows, z))
                self.normals.append((0.0, 0.0, -1.0))
                self.uvs.append((u0 + (u1 - u0) * i / columns, v0 + (v1 - v0) * j / rows))
        for j in range(rows):
            for i in range(columns):
                a = first + j * (columns + 1) + i
                quad = j * columns + i
                for n, face in enumerate(((a, a + 1, a + columns + 2),
                                          (a, a + columns + 2, a + columns + 1))):
                    self.faces.append(face)
                    self.face_materials.append(material_of(quad, n))

    def frame(self, material):
        """The sample's frame box, behind the picture (make-model.py)."""
        box = sample.build()
        first = len(self.positions)
        self.positions += box.vertices
        self.normals += box.normals
        self.uvs += box.uvs
        for face, m in zip(box.faces, box.materials):
            if m == 1:
                self.faces.append(tuple(first + i for i in face))
                self.face_materials.append(material)

    def write(self, path, materials):
        children = [
            corpus.normals(self.normals, self.faces),
            corpus.texcoords(self.uvs),
            corpus.material_list(len(materials), self.face_materials, materials),
        ]
        with open(path, "wb") as out:
            out.write(corpus.text_file([corpus.mesh(self.positions, self.faces, children)]))


def material(rgba, texture=None):
    return corpus.material(rgba, texture=texture)


PICTURE_LEFT, PICTURE_TOP = -sample.PICTURE_HALF_WIDTH, sample.PICTURE_HALF_HEIGHT
PICTURE_WIDTH, PICTURE_HEIGHT = 2 * sample.PICTURE_HALF_WIDTH, 2 * sample.PICTURE_HALF_HEIGHT


def heavy_triangles(folder):
    m = Model()
    m.grid(PICTURE_LEFT, PICTURE_TOP, PICTURE_WIDTH, PICTURE_HEIGHT, sample.PICTURE_Z, 260, 192,
           lambda quad, n: 0)
    m.frame(1)
    m.write(os.path.join(folder, "model.x"), [material(WHITE, FEEDBACK), material(ORANGE)])


# name, convert's options for it: 2048 x 2048 each, different pictures.
BIG_PICTURES = [
    ("tile1.jpg", ["-quality", "90"]),
    ("tile2.jpg", ["-quality", "85", "-interlace", "Plane"]),
    ("tile3.jpg", ["-quality", "75"]),
    ("tile4.png", []),
    ("tile5.png", []),
    ("tile6.png", ["-alpha", "set", "-channel", "A", "-evaluate", "set", "80%", "+channel"]),
    ("tile7.tga", []),
    ("tile8.tga", ["rle"]),
]


def picture(path, size, seed, options):
    """A smooth random picture (ImageMagick's plasma) with its name in the
    middle, so that each tile shows which file it is and which way up."""
    label = os.path.splitext(os.path.basename(path))[0]
    make = ["convert", "-size", "%dx%d" % (size, size), "-seed", str(seed), "plasma:fractal",
            "-blur", "0x1", "-gravity", "center", "-pointsize", str(size // 6), "-fill", "white",
            "-annotate", "+0+0", label, "-alpha", "off", "-depth", "8"]
    if not path.endswith(".tga"):
        subprocess.run(make + options + [path], check=True)
        return
    rgb = subprocess.run(make + ["rgb:-"], check=True, capture_output=True).stdout
    write_tga(path, size, size, rgb, rle="rle" in options)


def write_tga(path, width, height, rgb, rle):
    """24-bit TGA written here: ImageMagick 6 marks its top-down rows as
    bottom-up. Uncompressed rows top-down (origin flag set); run-length
    encoded rows bottom-up, in raw packets of up to 128 pixels."""
    stride = 3 * width
    rows = [bytearray(rgb[y * stride:(y + 1) * stride]) for y in range(height)]
    for row in rows:
        row[0::3], row[2::3] = row[2::3], row[0::3]  # RGB to TGA's BGR
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 10 if rle else 2, 0, 0, 0, 0, 0, width, height,
                         24, 0 if rle else 0x20)
    with open(path, "wb") as out:
        out.write(header)
        for row in (reversed(rows) if rle else rows):
            if not rle:
                out.write(row)
                continue
            for start in range(0, width, 128):
                count = min(128, width - start)
                out.write(bytes((count - 1,)) + row[3 * start:3 * (start + count)])


def heavy_textures(folder):
    m = Model()
    tile = 0
    materials = []
    for row in range(3):
        for column in range(3):
            w, h = PICTURE_WIDTH / 3, PICTURE_HEIGHT / 3
            m.grid(PICTURE_LEFT + column * w, PICTURE_TOP - row * h, w, h, sample.PICTURE_Z,
                   1, 1, lambda quad, n, index=len(materials): index)
            if row == 1 and column == 1:
                materials.append(material(WHITE, FEEDBACK))
            else:
                name, options = BIG_PICTURES[tile]
                picture(os.path.join(folder, name), 2048, tile + 1, options)
                materials.append(material(WHITE, name.encode("ascii")))
                tile += 1
    m.frame(len(materials))
    materials.append(material(ORANGE))
    m.write(os.path.join(folder, "model.x"), materials)


def heavy_materials(folder):
    picture(os.path.join(folder, "wood.jpg"), 256, 99, ["-quality", "85"])
    m = Model()
    columns, rows = 25, 20
    # The picture, over all of it: one material per triangle, all alike.
    m.grid(PICTURE_LEFT, PICTURE_TOP, PICTURE_WIDTH, PICTURE_HEIGHT, sample.PICTURE_Z, columns,
           rows, lambda quad, n: 2 * quad + n)
    # The frame's front, behind it: orange, wood and tinted wood in turn.
    half_w, half_h = sample.FRAME_HALF_WIDTH, sample.FRAME_HALF_HEIGHT
    picture_faces = 2 * columns * rows
    m.grid(-half_w, half_h, 2 * half_w, 2 * half_h, sample.FRAME_FRONT, columns, rows,
           lambda quad, n: picture_faces + 2 * quad + n)
    front = [material(ORANGE), material(WHITE, b"wood.jpg"), material(TINT, b"wood.jpg")]
    materials = [material(WHITE, FEEDBACK) for _ in range(picture_faces)]
    materials += [front[(i // 2) % 3] for i in range(2 * columns * rows)]
    m.write(os.path.join(folder, "model.x"), materials)


MODELS = {
    "heavy-triangles": heavy_triangles,
    "heavy-textures": heavy_textures,
    "heavy-materials": heavy_materials,
}


def main():
    if len(sys.argv) > 2 or (len(sys.argv) == 2 and sys.argv[1].startswith("-")):
        print(__doc__)
        sys.exit(0 if sys.argv[1] in ("-h", "--help") else 2)
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "models")
    for name, make in MODELS.items():
        folder = os.path.join(out, name)
        if os.path.exists(os.path.join(folder, "model.x")):
            continue
        os.makedirs(folder, exist_ok=True)
        make(folder)
        print("wrote", folder)


if __name__ == "__main__":
    main()
