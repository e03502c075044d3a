#!/usr/bin/env python3
"""Packs the release zip of t462: a folder t462/ that a Windows user unpacks
and runs from.

    make-release.py --exe T462.EXE --assets DIR --readme TEMPLATE --out DIR
                    [--version V]

The zip holds t462/t462.exe, every file of the assets folder (the sample
model.x, the texture フィルター.bmp it names, the skin 枠.bmp), the empty
snapshot folder 抜き取り画像保存フォルダ/ and t462/README.txt. The files come
from the assets folder, not from a run folder, so nothing a run wrote (a
feedback image, snapshots) gets into the release.

README.txt is made from the template: "{{version}}" becomes the version, and
a block between the lines "[[if-import NAME.dll]]" and "[[end-if]]" is kept
only when the exe imports that DLL (read from the exe's own import table).
It is written as UTF-8 with a byte order mark and CRLF line ends, which
every Notepad reads.

Entry names are stored in UTF-8 with the zip's UTF-8 flag, so that
Explorer, 7-Zip and unzip show the Japanese names as they are.

Prints the zip's path on the last line. Exits non-zero, leaving no zip,
when something is missing.
"""

import argparse
import os
import struct
import sys
import time
import zipfile

FOLDER = "t462"
SNAPSHOT_FOLDER = "抜き取り画像保存フォルダ"
REQUIRED_ASSETS = ("model.x", "フィルター.bmp", "枠.bmp")
README_NAME = "README.txt"


def fail(message):
    print("make-release: " + message, file=sys.stderr)
    sys.exit(1)


def pe_imports(path):
    """Names of the DLLs a PE file imports, in table order (lower case)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"MZ":
        raise ValueError("not an exe (no MZ header)")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]
    table = []
    at = optional + optional_size
    for _ in range(sections):
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from(
            "<IIII", data, at + 8)
        table.append((virtual_address, max(virtual_size, raw_size), raw_offset))
        at += 40

    def offset(rva):
        for address, size, raw in table:
            if address <= rva < address + size:
                return raw + rva - address
        raise ValueError("address 0x%x outside every section" % rva)

    names = []
    if import_rva == 0:
        return names
    at = offset(import_rva)
    while True:
        descriptor = struct.unpack_from("<5I", data, at)
        if descriptor == (0, 0, 0, 0, 0):
            break
        start = offset(descriptor[3])
        end = data.index(b"\0", start)
        names.append(data[start:end].decode("ascii").lower())
        at += 20
    return names


def make_readme(template, version, imports):
    lines = []
    keep = [True]
    for line in template.splitlines():
        stripped = line.strip()
        if stripped.startswith("[[if-import ") and stripped.endswith("]]"):
            dll = stripped[len("[[if-import "):-2].strip().lower()
            keep.append(keep[-1] and dll in imports)
            continue
        if stripped == "[[end-if]]":
            if len(keep) == 1:
                raise ValueError("[[end-if]] without [[if-import ...]]")
            keep.pop()
            continue
        if keep[-1]:
            lines.append(line.replace("{{version}}", version))
    if len(keep) != 1:
        raise ValueError("[[if-import ...]] without [[end-if]]")
    text = "\r\n".join(lines) + "\r\n"
    return "\ufeff".encode("utf-8") + text.encode("utf-8")


def entry(name, mtime, is_dir=False):
    info = zipfile.ZipInfo(name, date_time=time.localtime(max(mtime, 315532800))[:6])
    info.create_system = 3  # Unix: the mode bits below mean what they say
    if is_dir:
        info.external_attr = (0o40755 << 16) | 0x10  # directory, also for Windows
        info.compress_type = zipfile.ZIP_STORED
    else:
        info.external_attr = 0o100644 << 16
        info.compress_type = zipfile.ZIP_DEFLATED
    if any(ord(c) > 127 for c in name):
        info.flag_bits |= 0x800  # the name is UTF-8
    return info


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--assets", required=True)
    parser.add_argument("--readme", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--version", default=time.strftime("%Y%m%d"))
    args = parser.parse_args()

    if not os.path.isfile(args.exe):
        fail("no exe at %s (build the windows preset first)" % args.exe)
    try:
        imports = pe_imports(args.exe)
    except (ValueError, struct.error) as error:
        fail("%s: %s" % (args.exe, error))
    assets = sorted(name for name in os.listdir(args.assets)
                    if os.path.isfile(os.path.join(args.assets, name)))
    for name in REQUIRED_ASSETS:
        if name not in assets:
            fail("no %s in %s" % (name, args.assets))
    with open(os.path.join(args.assets, "model.x"), "rb") as f:
        if "フィルター.bmp".encode("cp932") not in f.read():
            fail("model.x names no フィルター.bmp (in code page 932)")
    with open(args.readme, encoding="utf-8") as f:
        try:
            readme = make_readme(f.read(), args.version, imports)
        except ValueError as error:
            fail("%s: %s" % (args.readme, error))

    os.makedirs(args.out, exist_ok=True)
    target = os.path.join(args.out, "t462-%s.zip" % args.version)
    partial = target + ".partial"
    now = time.time()
    try:
        with zipfile.ZipFile(partial, "w") as archive:
            archive.writestr(entry(FOLDER + "/", now, is_dir=True), b"")
            with open(args.exe, "rb") as f:
                archive.writestr(entry(FOLDER + "/t462.exe", os.path.getmtime(args.exe)),
                                 f.read())
            for name in assets:
                path = os.path.join(args.assets, name)
                with open(path, "rb") as f:
                    archive.writestr(entry(FOLDER + "/" + name, os.path.getmtime(path)),
                                     f.read())
            archive.writestr(entry(FOLDER + "/" + SNAPSHOT_FOLDER + "/", now, is_dir=True), b"")
            archive.writestr(entry(FOLDER + "/" + README_NAME, now), readme)
        with zipfile.ZipFile(partial) as archive:
            bad = archive.testzip()
            if bad is not None:
                fail("%s is damaged in the zip just written" % bad)
        os.replace(partial, target)
    finally:
        if os.path.exists(partial):
            os.remove(partial)

    print("imports: " + " ".join(imports))
    print(target)


if __name__ == "__main__":
    main()
