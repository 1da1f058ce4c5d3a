#!/usr/bin/env python3
"""What ships stays within its size budget, and the art's size savings stay invisible.

    check-size.py KEINSTALL.EXE SKIN_TREE

- KeInstall.exe, skin included, is at most 1 MiB.
- Each page background is a palette image (the saving the budget counts on),
  and sits within a hair of a full-colour rendering of its source: no banding,
  no shifted colours.
"""
import importlib.util
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SKIN = os.path.normpath(os.path.join(HERE, "..", "..", "skin"))
BUDGET = 1024 * 1024
# Dithered palettes of these gradients measure above 60 dB; a coarse palette
# with visible bands falls below 45.
MIN_PSNR = 55.0
PNG_PALETTE = 3


def load_render_art():
    spec = importlib.util.spec_from_file_location("render_art", os.path.join(SKIN, "render-art.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def colour_type(path):
    with open(path, "rb") as f:
        head = f.read(26)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return head[25]


def psnr(a, b):
    """ImageMagick's PSNR of two same-sized images; inf when they are equal."""
    result = subprocess.run(["compare", "-metric", "PSNR", a, b, "null:"], capture_output=True, text=True)
    if result.returncode not in (0, 1):
        raise RuntimeError(result.stderr.strip() or "compare failed")
    return float(result.stderr.split()[0])


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    exe, tree = argv[1], argv[2]
    failures = []

    size = os.path.getsize(exe)
    print("KeInstall.exe: %d bytes (budget %d)" % (size, BUDGET))
    if size > BUDGET:
        failures.append("KeInstall.exe is %d bytes, over the %d-byte budget" % (size, BUDGET))

    art = load_render_art()
    quantised = shutil.which("pngquant") is not None
    with tempfile.TemporaryDirectory() as tmp:
        for path, template, w, h, values, palette in art.images():
            if not palette:
                continue
            svg = art.fill_template(template, dict(values, w=w, h=h))
            for scale, suffix in art.SCALES:
                name = art.variant_path(path, suffix)
                shipped = os.path.join(tree, *name.split("\\"))
                if not os.path.isfile(shipped):
                    failures.append("%s: missing from the skin tree" % name)
                    continue
                if quantised and colour_type(shipped) != PNG_PALETTE:
                    failures.append("%s: not a palette image" % name)
                reference = os.path.join(tmp, "reference.png")
                art.render(svg, art.scaled(w, scale), art.scaled(h, scale), reference, False)
                score = psnr(shipped, reference)
                print("%s: %.1f dB" % (name, score))
                if score < MIN_PSNR:
                    failures.append("%s: %.1f dB from its source, below %.0f dB" % (name, score, MIN_PSNR))
    if not quantised:
        print("pngquant not found: palette checks skipped (scripts/setup.sh installs it)")
    for failure in failures:
        print("FAIL " + failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
