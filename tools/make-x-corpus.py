#!/usr/bin/env python3
"""Writes the .x corpus under tests/data/x/: small models, each covering some
features of the format, in text, binary and compressed form.

The unit tests read every file natively; the Windows comparison reads them
with our reader and with the system's D3DX. corpus.txt lists the files, one a
line: name, model, encoding, and "both" when the system D3DX is expected to
read it the same way, or "ours" with the reason when it is not.

Usage: tools/make-x-corpus.py [output folder]   (default: tests/data/x)
"""

import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------
# Values of a data object. I, F and S are typed scalars; St groups members
# (a Vector, a MeshFace); Arr is an array of scalars or structures.


class I:
    def __init__(self, v):
        self.v = v


class F:
    def __init__(self, v):
        self.v = v


class S:
    def __init__(self, v):
        self.v = v  # bytes


class St:
    def __init__(self, *members):
        self.members = members


class Arr:
    def __init__(self, elements):
        self.elements = list(elements)


class Obj:
    def __init__(self, type_, data=(), children=(), name=None, guid=None):
        self.type = type_
        self.data = list(data)
        self.children = list(children)
        self.name = name
        self.guid = guid


class Ref:
    def __init__(self, name=None, guid=None):
        self.name = name
        self.guid = guid


class Template:
    def __init__(self, text):
        self.text = text  # "template Name { <uuid> members }"


# ---------------------------------------------------------------------------
# Text encoding.


def fmt_float(v):
    return "%.6f" % v


def text_scalar(m):
    if isinstance(m, I):
        return str(m.v)
    if isinstance(m, F):
        return fmt_float(m.v)
    return '"' + m.v.decode("latin-1") + '"'


def text_struct_body(s):
    return "".join(text_member(m) for m in s.members)


def text_element(e):
    return text_struct_body(e) if isinstance(e, St) else text_scalar(e)


def text_member(m):
    if isinstance(m, St):
        return text_struct_body(m) + ";"
    if isinstance(m, Arr):
        return ",".join(text_element(e) for e in m.elements) + ";"
    return text_scalar(m) + ";"


def text_object(o, indent=""):
    return text_object_str(o, indent).encode("latin-1")


def text_object_str(o, indent):
    out = indent + o.type
    if o.name:
        out += " " + o.name
    out += " {\n"
    inner = indent + "  "
    if o.guid:
        out += inner + "<" + o.guid + ">\n"
    for m in o.data:
        if isinstance(m, Arr) and m.elements and isinstance(m.elements[0], St):
            body = (",\n" + inner).join(text_element(e) for e in m.elements) + ";"
            out += inner + body + "\n"
        else:
            out += inner + text_member(m) + "\n"
    for c in o.children:
        if isinstance(c, Ref):
            parts = [p for p in (c.name, "<" + c.guid + ">" if c.guid else None) if p]
            out += inner + "{ " + " ".join(parts) + " }\n"
        else:
            out += text_object_str(c, inner)
    out += indent + "}\n"
    return out


def text_file(items, header=b"xof 0303txt 0032", comments=False):
    out = header + b"\n"
    if comments:
        out += b"# written by make-x-corpus.py\n// both kinds of comment\n"
    for item in items:
        if isinstance(item, Template):
            out += item.text.encode("latin-1") + b"\n"
        else:
            out += text_object(item)
    return out


# ---------------------------------------------------------------------------
# Binary encoding.

TOKENS = {
    "{": 10, "}": 11, "(": 12, ")": 13, "[": 14, "]": 15, "<": 16, ">": 17,
    ".": 18, ",": 19, ";": 20, "template": 31, "WORD": 40, "DWORD": 41,
    "FLOAT": 42, "DOUBLE": 43, "CHAR": 44, "UCHAR": 45, "SWORD": 46,
    "SDWORD": 47, "VOID": 48, "STRING": 49, "UNICODE": 50, "CSTRING": 51,
    "array": 52,
}


def tok(code):
    return struct.pack("<H", code)


def b_name(text):
    return tok(1) + struct.pack("<I", len(text)) + text


def b_guid(text):
    parts = text.split("-")
    d1, d2, d3 = int(parts[0], 16), int(parts[1], 16), int(parts[2], 16)
    d4 = bytes.fromhex(parts[3] + parts[4])
    return tok(5) + struct.pack("<IHH", d1, d2, d3) + d4


def b_template(text):
    """A template declaration in binary tokens."""
    out = b""
    i = 0
    while i < len(text):
        c = text[i]
        if c.isspace():
            i += 1
        elif c == "<":
            j = text.index(">", i)
            out += b_guid(text[i + 1:j])
            i = j + 1
        elif c in "{}[](),;.":
            out += tok(TOKENS[c])
            i += 1
        elif c.isdigit():
            j = i
            while text[j].isdigit():
                j += 1
            out += tok(3) + struct.pack("<I", int(text[i:j]))
            i = j
        else:
            j = i
            while j < len(text) and (text[j].isalnum() or text[j] in "_"):
                j += 1
            word = text[i:j]
            out += tok(TOKENS[word]) if word in TOKENS else b_name(word.encode())
            i = j
    return out


def flatten(members, out):
    for m in members:
        if isinstance(m, St):
            flatten(m.members, out)
        elif isinstance(m, Arr):
            flatten(m.elements, out)
        else:
            out.append(m)


def b_data(members, doubles, split):
    """Scalars as integer and float lists; `split` starts a new list at every
    top-level member, as writers that follow the templates do."""
    groups = []
    for m in members:
        flat = []
        flatten([m], flat)
        if split:
            groups.append(flat)
        elif groups:
            groups[-1].extend(flat)
        else:
            groups.append(flat)
    out = b""
    for flat in groups:
        i = 0
        while i < len(flat):
            kind = type(flat[i])
            j = i
            while j < len(flat) and type(flat[j]) is kind:
                j += 1
            run = flat[i:j]
            if kind is I:
                out += tok(6) + struct.pack("<I", len(run))
                out += b"".join(struct.pack("<I", s.v) for s in run)
            elif kind is F:
                out += tok(7) + struct.pack("<I", len(run))
                # Rounded as the text encoding writes them, so both read the same.
                fmt = "<d" if doubles else "<f"
                out += b"".join(struct.pack(fmt, float(fmt_float(s.v))) for s in run)
            else:
                for s in run:
                    out += tok(2) + struct.pack("<I", len(s.v)) + s.v + tok(20)
            i = j
    return out


def b_object(o, doubles, split):
    out = b_name(o.type.encode())
    if o.name:
        out += b_name(o.name.encode())
    out += tok(10)
    if o.guid:
        out += b_guid(o.guid)
    out += b_data(o.data, doubles, split)
    for c in o.children:
        if isinstance(c, Ref):
            out += tok(10)
            if c.name:
                out += b_name(c.name.encode())
            if c.guid:
                out += b_guid(c.guid)
            out += tok(11)
        else:
            out += b_object(c, doubles, split)
    return out + tok(11)


def binary_file(items, doubles=False, split=True, version=b"0303"):
    out = b"xof " + version + b"bin " + (b"0064" if doubles else b"0032")
    for item in items:
        if isinstance(item, Template):
            out += b_template(item.text)
        else:
            out += b_object(item, doubles, split)
    return out


# ---------------------------------------------------------------------------
# MSZIP: blocks of at most 32 KiB, each "CK" and a raw deflate stream. With
# `chained`, each block may refer back into the previous one (its dictionary).


def compress(plain, chained):
    header, body = plain[:16], plain[16:]
    kind = b"tzip" if header[8:12] == b"txt " else b"bzip"
    out = header[:8] + kind + header[12:16] + struct.pack("<I", len(plain))
    previous = b""
    for start in range(0, len(body), 32768):
        block = body[start:start + 32768]
        if chained and previous:
            c = zlib.compressobj(9, zlib.DEFLATED, -15, zdict=previous)
        else:
            c = zlib.compressobj(9, zlib.DEFLATED, -15)
        data = b"CK" + c.compress(block) + c.flush()
        out += struct.pack("<HH", len(block), len(data)) + data
        previous = block
    return out


# ---------------------------------------------------------------------------
# Models.


def vec(x, y, z):
    return St(F(x), F(y), F(z))


def face(*indices):
    return St(I(len(indices)), Arr(I(i) for i in indices))


def mesh(positions, faces, children=(), name=None):
    return Obj("Mesh", [I(len(positions)), Arr(vec(*p) for p in positions),
                        I(len(faces)), Arr(face(*f) for f in faces)], children, name)


def material(rgba, power=0.0, specular=(0, 0, 0), emis=(0, 0, 0), texture=None, name=None,
             guid=None):
    children = [Obj("TextureFilename", [S(texture)])] if texture is not None else []
    return Obj("Material", [St(*(F(c) for c in rgba)), F(power), St(*(F(c) for c in specular)),
                            St(*(F(c) for c in emis))], children, name, guid)


def material_list(count, indices, materials):
    return Obj("MeshMaterialList", [I(count), I(len(indices)), Arr(I(i) for i in indices)],
               materials)


def normals(vectors, faces):
    return Obj("MeshNormals", [I(len(vectors)), Arr(vec(*v) for v in vectors),
                               I(len(faces)), Arr(face(*f) for f in faces)])


def texcoords(uvs):
    return Obj("MeshTextureCoords", [I(len(uvs)), Arr(St(F(u), F(v)) for u, v in uvs)])


def vertex_colours(entries):
    return Obj("MeshVertexColors",
               [I(len(entries)), Arr(St(I(i), St(*(F(c) for c in rgba))) for i, rgba in entries)])


def frame_matrix(m):
    return Obj("FrameTransformMatrix", [St(Arr(F(v) for v in m))])


def translation(x, y, z):
    return [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1]


def scaling(x, y, z):
    return [x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1]


ROTATION_Z_90 = [0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1]

CUBE_POSITIONS = [(-1, -1, -1), (1, -1, -1), (1, 1, -1), (-1, 1, -1),
                  (-1, -1, 1), (1, -1, 1), (1, 1, 1), (-1, 1, 1)]
CUBE_FACES = [(0, 3, 2, 1), (4, 5, 6, 7), (0, 1, 5, 4), (2, 3, 7, 6), (1, 2, 6, 5),
              (0, 4, 7, 3)]
CUBE_NORMALS = [(0, 0, -1), (0, 0, 1), (0, -1, 0), (0, 1, 0), (1, 0, 0), (-1, 0, 0)]

MATERIAL_GUID = "10DD46A8-775B-11CF-8F52-0040333594A3"
FILTER_NAME = "フィルター.bmp".encode("cp932")

UNKNOWN_TEMPLATE = Template(
    "template Gadget {\n <6B2F3A10-1C2D-4E5F-8A9B-0C1D2E3F4A5B>\n DWORD nValues;\n"
    " array FLOAT values[nValues];\n STRING label;\n [...]\n}")
HEADER_TEMPLATE = Template(
    "template Header {\n <3D82AB43-62DA-11CF-AB39-0020AF71E433>\n WORD major;\n"
    " WORD minor;\n DWORD flags;\n}")


def model_triangle():
    return [mesh([(0, 0, 0), (1, 0, 0), (0, 1, 0)], [(0, 1, 2)])]


def model_polygons():
    # A quad, a pentagon and a hexagon: 2 + 3 + 4 triangles.
    import math
    positions = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)]
    pentagon = []
    for k in range(5):
        a = 2 * math.pi * k / 5
        positions.append((3 + math.cos(a), math.sin(a), 0))
        pentagon.append(len(positions) - 1)
    hexagon = []
    for k in range(6):
        a = 2 * math.pi * k / 6
        positions.append((6 + math.cos(a), math.sin(a), 0))
        hexagon.append(len(positions) - 1)
    return [mesh(positions, [(0, 1, 2, 3), tuple(pentagon), tuple(hexagon)])]


def model_cube_normals():
    # Per-face normals: every corner position meets three normals.
    return [mesh(CUBE_POSITIONS, CUBE_FACES,
                 [normals(CUBE_NORMALS, [(k,) * 4 for k in range(6)])], name="cube")]


def model_smooth_normals():
    # One normal per position, shared by all faces: nothing is split.
    import math
    n = [tuple(c / math.sqrt(3) for c in p) for p in CUBE_POSITIONS]
    return [mesh(CUBE_POSITIONS, CUBE_FACES, [normals(n, CUBE_FACES)])]


def model_texcoords():
    return [mesh([(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)], [(0, 1, 2, 3)],
                 [texcoords([(0, 1), (1, 1), (1, 0), (0, 0)])])]


def model_vertex_colours():
    # Vertex 3 has no colour: 0x00FFFFFF. Values beyond [0, 1] are clamped.
    return [mesh([(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)], [(0, 1, 2), (0, 2, 3)],
                 [vertex_colours([(0, (1, 0, 0, 1)), (1, (0, 1, 0, 0.5)),
                                  (2, (2.0, -1.0, 0.25, 1))])])]


def model_materials():
    # Two inline materials, faces interleaved: subsets regroup them.
    positions = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0), (2, 0, 0), (2, 1, 0)]
    faces = [(0, 1, 2), (1, 4, 5), (0, 2, 3), (1, 5, 2)]
    return [mesh(positions, faces, [
        texcoords([(0, 0), (0.5, 0), (0.5, 1), (0, 1), (1, 0), (1, 1)]),
        material_list(2, [1, 0, 1, 0], [
            material((1, 0.5, 0.25, 1), 8, (0.1, 0.2, 0.3), (0.01, 0.02, 0.03), b"wood.bmp"),
            material((0.2, 0.4, 0.6, 0.8), 2.5, (1, 1, 1), (0, 0, 0), FILTER_NAME),
        ])])]


def model_material_refs(by_uuid=False):
    # Materials declared at the top level and referred to by name (or by
    # UUID), mixed with an inline one.
    blue = Ref(guid=MATERIAL_GUID) if by_uuid else Ref(name="Blue")
    return [
        material((1, 0, 0, 1), 1, texture=b"red.png", name="Red"),
        material((0, 0, 1, 1), 2, name="Blue", guid=MATERIAL_GUID),
        mesh([(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)], [(0, 1, 2), (0, 2, 3)], [
            material_list(3, [2, 0], [Ref(name="Red"), blue, material((0, 1, 0, 1))])]),
    ]


def model_material_short_list():
    # Three faces, one face index: every face takes material 1.
    return [mesh([(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)], [(0, 1, 2), (0, 2, 3), (1, 2, 3)],
                 [material_list(2, [1], [material((1, 1, 1, 1)), material((0, 0, 0, 1))])])]


def model_frames():
    # Nested frames: the inner mesh is scaled, then turned, then moved.
    inner = Obj("Frame", [], [
        frame_matrix(scaling(2, 1, 1)),
        mesh(CUBE_POSITIONS, CUBE_FACES,
             [normals(CUBE_NORMALS, [(k,) * 4 for k in range(6)]),
              material_list(1, [0] * 6, [material((0, 1, 0, 1))])], name="box"),
    ], name="Inner")
    outer = Obj("Frame", [], [
        frame_matrix([a for a in ROTATION_Z_90[:12]] + [10, 0, 0, 1]),
        inner,
    ], name="Outer")
    loose = mesh([(0, 0, 0), (1, 0, 0), (0, 1, 0)], [(0, 1, 2)],
                 [material_list(1, [0], [material((1, 0, 0, 1))])], name="loose")
    return [outer, loose]


def model_frame_sequence():
    # Matrices between the meshes of a frame: each moves what comes after it,
    # on top of the ones before it. The triangles land at z = 0, 2, 2 (and x
    # + 10, in the child frame) and 5.
    def tri(x):
        return mesh([(0, 0, 0), (0, 1, 0), (x, 1, 0)], [(0, 1, 2)])
    child = Obj("Frame", [], [frame_matrix(translation(10, 0, 0)), tri(4)], name="Child")
    return [Obj("Frame", [], [
        tri(1), frame_matrix(translation(0, 0, 2)), tri(2), child,
        frame_matrix(translation(0, 0, 3)), tri(3),
    ], name="Sequence")]


def model_frame_instances():
    # A mesh defined once in a frame and used again by reference elsewhere.
    tri = mesh([(0, 0, 0), (1, 0, 0), (0, 1, 0)], [(0, 1, 2)],
               [material_list(1, [0], [material((1, 1, 0, 1))])], name="tri")
    return [
        Obj("Frame", [], [frame_matrix(translation(0, 0, 5)), tri], name="First"),
        Obj("Frame", [], [frame_matrix(translation(0, 3, 0)), Ref(name="tri")], name="Second"),
    ]


def model_mixed_materials():
    # One mesh with materials, one without: the second gets the default.
    return [
        mesh([(0, 0, 0), (1, 0, 0), (0, 1, 0)], [(0, 1, 2)],
             [material_list(1, [0], [material((1, 0, 0, 1))])]),
        mesh([(5, 0, 0), (6, 0, 0), (5, 1, 0)], [(0, 1, 2)]),
    ]


def model_unknown_objects():
    # Objects of other types, nested and at the top level, are passed over;
    # a material inside one can still be referred to.
    gadget = Obj("Gadget", [I(3), Arr(F(v) for v in (1, 2, 3)), S(b"a label")],
                 [Obj("Gadget", [I(1), Arr([F(9)]), S(b"inner")], [
                     material((0.5, 0.5, 1, 1), name="Hidden")])], name="thing")
    return [
        HEADER_TEMPLATE, UNKNOWN_TEMPLATE,
        Obj("Header", [I(1), I(0), I(1)]),
        gadget,
        mesh([(0, 0, 0), (1, 0, 0), (0, 1, 0)], [(0, 1, 2)], [
            Obj("Gadget", [I(0), Arr([]), S(b"in a mesh")]),
            material_list(1, [0], [Ref(name="Hidden")]),
        ]),
    ]


def model_grid(n=32):
    # A larger grid, large enough for several compressed blocks.
    positions, faces, uvs, nrm = [], [], [], []
    for j in range(n + 1):
        for i in range(n + 1):
            positions.append((i / n, j / n, ((i * 7 + j * 3) % 11) / 50.0))
            uvs.append((i / n, 1 - j / n))
    for j in range(n):
        for i in range(n):
            a = j * (n + 1) + i
            faces.append((a, a + 1, a + n + 2, a + n + 1))
    return [mesh(positions, faces, [
        texcoords(uvs),
        normals([(0, 0, -1)], [(0, 0, 0, 0)] * len(faces)),
        material_list(2, [(k // n) % 2 for k in range(len(faces))],
                      [material((1, 1, 1, 1), texture=FILTER_NAME), material((0.3, 0.3, 0.3, 1))]),
    ])]


def sample_model():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "..", "assets", "model.x"), "rb") as f:
        return f.read()


# ---------------------------------------------------------------------------


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "tests", "data", "x")
    os.makedirs(out_dir, exist_ok=True)
    entries = []

    def write(name, data, model, encoding, both=True, reason=""):
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
        entries.append("%s %s %s %s" % (name, model, encoding, "both" if both else "ours " + reason))

    models = {
        "triangle": model_triangle(),
        "polygons": model_polygons(),
        "cube_normals": model_cube_normals(),
        "smooth_normals": model_smooth_normals(),
        "texcoords": model_texcoords(),
        "vertex_colours": model_vertex_colours(),
        "materials": model_materials(),
        "material_refs": model_material_refs(),
        "frames": model_frames(),
        "frame_sequence": model_frame_sequence(),
        "frame_instances": model_frame_instances(),
        "mixed_materials": model_mixed_materials(),
        "unknown_objects": model_unknown_objects(),
    }
    # Where the system D3DX is known to differ: ours is the sound result.
    differs = {
        # it multiplies frame matrices parent first, moves normals with the
        # translation, and offsets the second mesh's indices by the first
        # mesh's index count, past the last vertex
        "frames": "frame-matrix-order",
        # its merged mesh points the material-less mesh at the next one's
        # material
        "mixed_materials": "default-material-in-merge",
        # it does not follow a reference to a mesh from a frame
        "frame_instances": "no-mesh-reference-in-frame",
    }
    for name, items in models.items():
        both = name not in differs
        reason = differs.get(name, "")
        write(name + ".txt.x", text_file(items, comments=(name == "triangle")), name, "txt",
              both, reason)
        write(name + ".bin.x", binary_file(items, split=(name != "polygons")), name, "bin",
              both, reason)
    # Variants of one model, all of which must read the same.
    mats = models["materials"]
    write("materials.bin64.x", binary_file(mats, doubles=True), "materials", "bin64", False,
          "no-64-bit-floats")
    write("materials.txt64.x", text_file(mats, header=b"xof 0303txt 0064"), "materials", "txt64")
    write("materials.v0302.x", text_file(mats, header=b"xof 0302txt 0032"), "materials", "txt")
    write("materials.tzip.x", compress(text_file(mats), chained=False), "materials", "tzip")
    write("materials.bzip.x", compress(binary_file(mats), chained=False), "materials", "bzip")
    uuid = model_material_refs(by_uuid=True)
    write("uuid_refs.txt.x", text_file(uuid), "material_refs", "txt", False, "no-uuid-reference")
    write("uuid_refs.bin.x", binary_file(uuid), "material_refs", "bin", False, "no-uuid-reference")
    write("material_short_list.txt.x", text_file(model_material_short_list()),
          "material_short_list", "txt", False, "no-short-material-list")
    grid = model_grid()
    write("grid.txt.x", text_file(grid), "grid", "txt")
    write("grid.tzip.x", compress(text_file(grid), chained=False), "grid", "tzip")
    write("grid.bzip.x", compress(binary_file(grid), chained=False), "grid", "bzip")
    write("grid.tzip-chained.x", compress(text_file(grid), chained=True), "grid", "tzip")
    sample = sample_model()
    write("sample.txt.x", sample, "sample", "txt")
    write("sample.tzip.x", compress(sample, chained=False), "sample", "tzip")

    with open(os.path.join(out_dir, "corpus.txt"), "w") as f:
        f.write("# file model encoding reader(s): written by tools/make-x-corpus.py\n")
        f.write("\n".join(entries) + "\n")


if __name__ == "__main__":
    main()
