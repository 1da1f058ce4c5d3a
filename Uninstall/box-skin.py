#!/usr/bin/env python3
"""Lays out the part of the rendered skin that the uninstaller's question box
uses: one layout, the images it names, and the images the code names (given
on the command line), each with its DPI variants ("name@2x.png").

    box-skin.py SKIN_TREE OUT_TREE LAYOUT [IMAGE ...]
"""
import os
import re
import shutil
import sys


def main(tree, out, layout, extra):
    shutil.rmtree(out, ignore_errors=True)
    text = open(os.path.join(tree, layout), encoding="utf-8").read()
    images = set(re.findall(r"[^\"'=]+?\.png", text)) | set(extra)
    wanted = [layout]
    for image in sorted(images):
        rel = image.strip().replace("\\", "/")
        folder, name = os.path.split(rel)
        stem = name[:-len(".png")]
        source = os.path.join(tree, folder)
        if not os.path.isfile(os.path.join(source, name)):
            raise SystemExit("box-skin: %s names %s, which the skin does not hold" % (layout, rel))
        for candidate in os.listdir(source):
            if candidate == name or (candidate.startswith(stem + "@") and candidate.endswith(".png")):
                wanted.append(os.path.join(folder, candidate))
    for rel in wanted:
        os.makedirs(os.path.join(out, os.path.dirname(rel)), exist_ok=True)
        shutil.copyfile(os.path.join(tree, rel), os.path.join(out, rel))


if __name__ == "__main__":
    if len(sys.argv) < 4:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:])
