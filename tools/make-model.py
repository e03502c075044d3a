#!/usr/bin/env python3
"""Writes the sample model and a placeholder feedback image into assets/.

assets/model.x: a text .x mesh, a picture frame standing upright and facing
the camera (-z): a textured picture 1.6 wide and 1.2 high centred on the
model's origin, in front of an untextured orange frame box 1.8 x 1.4 x 0.12.
Material 0 (the picture) names the feedback image "フィルター.bmp", written
in code page 932 as the program hands the name to the file system as it
stands; material 1 (the frame) has no texture.

assets/フィルター.bmp: a 138 x 111 24-bit picture standing in for the grab
until the first frame writes one: a red-to-green gradient with a white
block in its top-left corner and a blue one in its bottom-right corner, so
an upside-down or mirrored texture shows at a glance.

Run from anywhere: python3 tools/make-model.py
"""

import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ASSETS = os.path.join(ROOT, "assets")
TEXTURE_NAME = "フィルター.bmp"

PICTURE_HALF_WIDTH, PICTURE_HALF_HEIGHT, PICTURE_Z = 0.8, 0.6, -0.03
FRAME_HALF_WIDTH, FRAME_HALF_HEIGHT, FRAME_FRONT, FRAME_BACK = 0.9, 0.7, 0.0, 0.12
FRAME_COLOUR = (0.9, 0.45, 0.1, 1.0)


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def add(*vectors):
    return tuple(sum(parts) for parts in zip(*vectors))


def scale(v, s):
    return tuple(c * s for c in v)


class Mesh:
    def __init__(self):
        self.vertices, self.normals, self.uvs, self.faces, self.materials = [], [], [], [], []

    def quad(self, centre, right, up, normal, material):
        """A rectangle seen from outside (along -normal) with `right` to the
        right and `up` upward. Direct3D culls counter-clockwise triangles by
        default, so both triangles run clockwise as seen from outside; in
        left-handed coordinates that means right x up points away from the
        viewer, along -normal."""
        assert all(
            abs(a + b) < 1e-9 for a, b in zip(unit(cross(right, up)), normal)
        ), "face would be culled"
        first = len(self.vertices)
        corners = [  # top-left, top-right, bottom-right, bottom-left
            (add(centre, scale(right, -1), up), (0.0, 0.0)),
            (add(centre, right, up), (1.0, 0.0)),
            (add(centre, right, scale(up, -1)), (1.0, 1.0)),
            (add(centre, scale(right, -1), scale(up, -1)), (0.0, 1.0)),
        ]
        for position, uv in corners:
            self.vertices.append(position)
            self.normals.append(normal)
            self.uvs.append(uv)  # v = 0 is the image's top row
        self.faces += [(first, first + 1, first + 2), (first, first + 2, first + 3)]
        self.materials += [material, material]


def unit(v):
    length = sum(c * c for c in v) ** 0.5
    return tuple(c / length for c in v)


def build():
    mesh = Mesh()
    # The picture, in front of the frame.
    mesh.quad((0.0, 0.0, PICTURE_Z), (PICTURE_HALF_WIDTH, 0, 0), (0, PICTURE_HALF_HEIGHT, 0),
              (0, 0, -1), 0)
    # The frame box around and behind it.
    w, h = FRAME_HALF_WIDTH, FRAME_HALF_HEIGHT
    d = (FRAME_BACK - FRAME_FRONT) / 2
    mid = (FRAME_BACK + FRAME_FRONT) / 2
    mesh.quad((0, 0, FRAME_FRONT), (w, 0, 0), (0, h, 0), (0, 0, -1), 1)  # front
    mesh.quad((0, 0, FRAME_BACK), (-w, 0, 0), (0, h, 0), (0, 0, 1), 1)  # back
    mesh.quad((w, 0, mid), (0, 0, d), (0, h, 0), (1, 0, 0), 1)  # right side
    mesh.quad((-w, 0, mid), (0, 0, -d), (0, h, 0), (-1, 0, 0), 1)  # left side
    mesh.quad((0, h, mid), (w, 0, 0), (0, 0, d), (0, 1, 0), 1)  # top
    mesh.quad((0, -h, mid), (w, 0, 0), (0, 0, -d), (0, -1, 0), 1)  # bottom
    return mesh


def number(value):
    return "%.6f" % value


def write_model(path):
    mesh = build()
    lines = ["xof 0303txt 0032", "", "Mesh picture_frame {"]

    def vector_list(items, width):
        lines.append("  %d;" % len(items))
        for i, item in enumerate(items):
            end = ";" if i == len(items) - 1 else ","
            lines.append("  " + ";".join(number(c) for c in item[:width]) + ";" + end)

    def face_list(faces):
        lines.append("  %d;" % len(faces))
        for i, face in enumerate(faces):
            end = ";" if i == len(faces) - 1 else ","
            lines.append("  3;%d,%d,%d;" % face + end)

    vector_list(mesh.vertices, 3)
    face_list(mesh.faces)
    lines += ["", "  MeshNormals {"]
    vector_list(mesh.normals, 3)
    face_list(mesh.faces)
    lines += ["  }", "", "  MeshTextureCoords {"]
    vector_list(mesh.uvs, 2)
    lines += ["  }", "", "  MeshMaterialList {", "  2;", "  %d;" % len(mesh.faces)]
    lines.append("  " + ",".join(str(m) for m in mesh.materials) + ";")
    lines += [
        "",
        "    Material picture {",
        "    1.000000;1.000000;1.000000;1.000000;;",
        "    0.000000;",
        "    0.000000;0.000000;0.000000;;",
        "    0.000000;0.000000;0.000000;;",
        "      TextureFilename {",
        '      "@TEXTURE@";',
        "      }",
        "    }",
        "",
        "    Material frame {",
        "    " + ";".join(number(c) for c in FRAME_COLOUR) + ";;",
        "    0.000000;",
        "    0.000000;0.000000;0.000000;;",
        "    0.000000;0.000000;0.000000;;",
        "    }",
        "  }",
        "}",
        "",
    ]
    text = "\r\n".join(lines).encode("ascii")
    text = text.replace(b"@TEXTURE@", TEXTURE_NAME.encode("cp932"))
    with open(path, "wb") as out:
        out.write(text)


def placeholder_pixel(x, y, width, height):
    """(r, g, b) of the pixel x, y counted from the top-left corner."""
    if x < 24 and y < 18:
        return (255, 255, 255)
    if x >= width - 24 and y >= height - 18:
        return (0, 0, 255)
    return (255 * x // (width - 1), 255 * y // (height - 1), 64)


def write_bmp(path, width=138, height=111):
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = placeholder_pixel(x, y, width, height)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    image = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 0, 0, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    with open(path, "wb") as out:
        out.write(header + info + image)


def main():
    os.makedirs(ASSETS, exist_ok=True)
    write_model(os.path.join(ASSETS, "model.x"))
    write_bmp(os.path.join(ASSETS, TEXTURE_NAME))


if __name__ == "__main__":
    main()
