#!/usr/bin/env python3
"""Lays every 1x image of a rendered skin tree out on one labelled sheet, to look
the art over as a whole.

    contact-sheet.py SKIN_DIR OUT.png [--variants]

Pictures are fitted into equal cells on a tinted backdrop, so transparent edges,
shadows and white cards all show. --variants adds the @1.5x and @2x images.
"""
import os
import shutil
import subprocess
import sys


def main(argv):
    args = [a for a in argv[1:] if not a.startswith("--")]
    if len(args) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    root, target = args
    variants = "--variants" in argv
    montage = shutil.which("montage")
    if montage is None:
        print("contact-sheet: ImageMagick's montage is not installed", file=sys.stderr)
        return 1
    pictures = []
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        for name in sorted(files):
            if name.endswith(".png") and (variants or "@" not in name):
                pictures.append(os.path.join(folder, name))
    if not pictures:
        print("contact-sheet: no images under %s" % root, file=sys.stderr)
        return 1
    command = [montage, "-background", "#B9C3CF", "-fill", "#1D2733", "-pointsize", "10",
               "-geometry", "232x140+8+8", "-tile", "5x"]
    for path in pictures:
        command += ["-label", os.path.basename(path), path]
    command.append(target)
    subprocess.run(command, check=True)
    print("contact-sheet: %d images -> %s" % (len(pictures), target))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
