#!/usr/bin/env python3
"""Checks the packed skin archive against the layouts that name its images.

    check-skin.py SKIN_DIR SKIN_ZIP KEINSTALL_EXE

Prints one line per check and "N passed, N failed" at the end; exits non-zero
when any check failed.
"""
import importlib.util
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SKIN_SOURCES = os.path.join(HERE, "..", "..", "skin")
LAYOUTS = ["KEMainFrameWhite_brelvost.xml", "KEWhiteMsgBox.xml", "KEMsgBox.xml"]
# Images the installer's code draws without a layout naming them, with their sizes:
# the white windows' shadow frame (16-pixel border around a card) and the dark box's
# shadow window image (38-pixel corners around the window's place).
NAMED_IN_CODE = {"ke_appended\\shadow\\shadows_white.png": (64, 64),
                 "ke_appended\\shadow\\shadow_black.png": (96, 96)}
# The skin's share of the installer's size budget (the whole executable aims at 1 MiB).
SKIN_BUDGET = 640 * 1024


def load_module(name, path):
    spec = importlib.util.spec_from_file_location(name, path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", data[16:24])


def attribute_list(text):
    """name="value" pairs of a Default element's value."""
    pairs, at = [], 0
    while True:
        equals = text.find('="', at)
        if equals < 0:
            return pairs
        close = text.find('"', equals + 2)
        if close < 0:
            return pairs
        pairs.append((text[at:equals].strip(), text[equals + 2:close]))
        at = close + 1


def image_name(spec):
    """The file an image attribute string names (the whole string when it has no file key)."""
    for key in ("file='", "res='"):
        at = spec.find(key)
        if at >= 0:
            return spec[at + len(key):spec.index("'", at + len(key))]
    return spec


def corner_of(spec):
    at = spec.find("corner='")
    if at < 0:
        return None
    return [int(v) for v in spec[at + 8:spec.index("'", at + 8)].split(",")]


def placements(root):
    """(image attribute string, width, height) for every image on a control of fixed size."""
    window = [int(v) for v in root.get("size").split(",")]
    found = []

    def visit(node, is_root):
        size = None
        if node.get("pos") and node.get("float") == "true":
            l, t, r, b = [int(v) for v in node.get("pos").split(",")]
            size = (r - l, b - t)
        elif node.get("width") and node.get("height"):
            size = (int(node.get("width")), int(node.get("height")))
        elif is_root or node.get("virtualwnd"):
            size = tuple(window)  # the window's root and the wizard's pages fill the window
        for key, value in node.attrib.items():
            if key.endswith("image") and size:
                found.append((value, size[0], size[1]))
        for child in node:
            visit(child, False)

    for child in root:
        if child.tag not in ("Font", "Default", "Image", "Style", "Import"):
            visit(child, True)
    return found


class Checks:
    def __init__(self):
        self.passed = self.failed = 0

    def check(self, ok, what, detail=""):
        if ok:
            self.passed += 1
            print("ok      %s" % what)
        else:
            self.failed += 1
            print("FAILED  %s%s" % (what, ": " + detail if detail else ""))


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    tree, packed, exe = argv[1:]
    checks = Checks()
    pack = load_module("pack_skin", os.path.join(SKIN_SOURCES, "pack-skin.py"))

    # Packing is a function of the tree alone: twice gives the same bytes as the build's zip.
    with tempfile.TemporaryDirectory() as tmp:
        again = []
        for n in (1, 2):
            target = os.path.join(tmp, "again%d.zip" % n)
            pack.pack(tree, target)
            with open(target, "rb") as f:
                again.append(f.read())
    with open(packed, "rb") as f:
        built = f.read()
    checks.check(again[0] == again[1], "two packings of the skin tree are byte-identical")
    checks.check(again[0] == built, "the build's skin.zip is the packing of its skin tree")

    # A tree the reader could not serve is refused with a message, not packed.
    script = os.path.join(SKIN_SOURCES, "pack-skin.py")
    with tempfile.TemporaryDirectory() as tmp:
        def tree_of(name, files):
            root = os.path.join(tmp, name)
            for path in files:
                os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
                with open(os.path.join(root, path), "wb") as f:
                    f.write(b"x")
            os.makedirs(root, exist_ok=True)
            return root
        bad_trees = [
            ("no such folder", os.path.join(tmp, "missing"), "no such folder"),
            ("an empty folder", tree_of("empty", []), "holds no files"),
            ("names differing only in case", tree_of("case", ["a/Btn.png", "a/btn.png"]), "differ only in case"),
            ("a name too long for the reader", tree_of("long", ["d/" + "n" * 250 + ".png"]), "too long"),
        ]
        for what, root, message in bad_trees:
            target = os.path.join(tmp, "bad.zip")
            run = subprocess.run([sys.executable, script, root, target], capture_output=True, text=True)
            checks.check(run.returncode != 0 and message in run.stderr + run.stdout and not os.path.exists(target),
                         "pack-skin refuses %s" % what, "exit %d: %s" % (run.returncode, run.stderr.strip()))

    archive = zipfile.ZipFile(packed)
    infos = archive.infolist()
    names = [i.filename for i in infos]
    checks.check(names == sorted(names), "items are in sorted order")
    checks.check(all("\\" not in n and not n.startswith("/") for n in names), "item names use '/' separators")
    checks.check(not any(n.endswith("/") for n in names), "no folder items")
    odd = [i.filename for i in infos if i.date_time != pack.FIXED_TIME or i.create_system != 0
           or i.external_attr != pack.FILE_ATTRIBUTE_ARCHIVE or i.extra]
    checks.check(not odd, "fixed times, attributes and no extra fields", ", ".join(odd[:3]))
    checks.check(len({n.lower() for n in names}) == len(names), "no two items differ only in case")
    checks.check(archive.testzip() is None, "every item's CRC matches")

    contents = {n: archive.read(n) for n in names}
    for layout in LAYOUTS:
        checks.check(layout in contents, "%s is in the archive" % layout)

    # Every image a layout or the code names is there, under "/" separators.
    referenced = {}
    for layout in LAYOUTS:
        if layout not in contents:
            continue
        try:
            root = ElementTree.fromstring(contents[layout])
        except ElementTree.ParseError as error:
            checks.check(False, "%s parses as XML" % layout, str(error))
            continue
        checks.check(root.tag == "Window", "%s parses as XML with a Window root" % layout)
        for node in root.iter():
            pairs = list(node.attrib.items())
            if node.tag == "Default":
                pairs = attribute_list(node.get("value", ""))
            for key, value in pairs:
                if key.endswith("image") and value:
                    referenced.setdefault(image_name(value), layout)
        misplaced = []
        for spec, width, height in placements(root):
            data = contents.get(image_name(spec).replace("\\", "/"))
            size = png_size(data) if data else None
            corner = corner_of(spec)
            if corner is None:
                # Drawn one to one: the image is exactly its place.
                fits = size == (width, height)
            else:
                # Drawn as nine parts: a middle must be left between the corners.
                l, t, r, b = corner
                fits = size is not None and l + r < size[0] and t + b < size[1]
            if not fits:
                misplaced.append("%s is %s for %dx%d" % (image_name(spec), size, width, height))
        checks.check(not misplaced, "%s: every image fits its place" % layout, "; ".join(misplaced[:4]))
    for name, size in NAMED_IN_CODE.items():
        referenced.setdefault(name, "code")
        data = contents.get(name.replace("\\", "/"))
        checks.check(data is not None and png_size(data) == size, "%s is %dx%d" % ((name,) + size),
                     str(png_size(data) if data else None))
    missing = [n for n in referenced if n.replace("\\", "/") not in contents]
    checks.check(not missing, "all %d named images are in the archive" % len(referenced), ", ".join(missing))

    # Every 1x image is used, and has its 1.5x and 2x siblings at the scaled size.
    images = [n for n in names if n.endswith(".png") and "@" not in n]
    unused = [n for n in images if n.replace("/", "\\") not in referenced]
    checks.check(not unused, "no image is left unused", ", ".join(unused))
    wrong = []
    for name in images:
        base = png_size(contents[name])
        for suffix, scale in (("@1.5x", 1.5), ("@2x", 2.0)):
            sibling = name[:-4] + suffix + ".png"
            size = png_size(contents[sibling]) if sibling in contents else None
            if base is None or size != tuple(int(v * scale + 0.5) for v in base):
                wrong.append("%s (%s)" % (sibling, size))
    checks.check(not wrong, "every image has sharper 1.5x and 2x copies", ", ".join(wrong[:5]))

    exe_size = os.path.getsize(exe)
    print("skin.zip: %d bytes, %d items; KeInstall.exe: %d bytes" % (len(built), len(names), exe_size))
    checks.check(len(built) <= SKIN_BUDGET, "skin.zip stays within %d KiB" % (SKIN_BUDGET // 1024),
                 "%d bytes" % len(built))

    print("%d passed, %d failed" % (checks.passed, checks.failed))
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
