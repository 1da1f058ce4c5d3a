#!/usr/bin/env python3
"""Tells whether a round corner on screen was drawn from the sharper @2x art.

    sharp-corner.py SHOT X Y SIZE ART_2X ART_1X

SHOT is a screenshot; (X, Y) the corner's top-left pixel in it; SIZE the side of
the square compared, in screen pixels. ART_2X and ART_1X are the image at twice
and at one scale; both are laid over the background the screenshot shows just
outside the corner. The corner is sharp when the screen matches the @2x art
pixel for pixel (a small mean error), and far better than the 1x art stretched
to twice its size would. Prints both errors; exits 1 when the corner is blurred.
"""
import re
import subprocess
import sys

PIXEL = re.compile(r"^(\d+),(\d+):\s*\(([^)]*)\)")
# Mean error per channel (0-255) below which two pictures are the same art:
# premultiplying and blending round a channel by a unit here and there.
SAME = 1.5


def pixels(path, x, y, w, h):
    """{(x, y): (r, g, b, a)} of a crop, alpha 255 where the file has none."""
    text = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
                           "-depth", "8", "txt:-"], check=True, capture_output=True, text=True).stdout
    out = {}
    for line in text.splitlines():
        m = PIXEL.match(line)
        if not m:
            continue
        values = [float(v.strip().rstrip("%")) for v in m.group(3).split(",")]
        if len(values) == 3:
            values.append(255.0)
        elif values[3] <= 1.0 and "." in m.group(3).split(",")[3]:
            values[3] *= 255.0   # some versions print alpha as a fraction
        out[(int(m.group(1)), int(m.group(2)))] = tuple(values[:4])
    return out


def over(art, background):
    r, g, b, a = art
    k = a / 255.0
    return tuple(c * k + bg * (1 - k) for c, bg in zip((r, g, b), background))


def error(screen, art, size, background, factor):
    """Mean channel difference between the screen and the art scaled by factor (nearest pixel)."""
    total = 0.0
    for y in range(size):
        for x in range(size):
            expected = over(art[(x // factor, y // factor)], background)
            seen = screen[(x, y)][:3]
            total += sum(abs(e - s) for e, s in zip(expected, seen))
    return total / (size * size * 3)


def main():
    if len(sys.argv) != 7:
        print(__doc__, file=sys.stderr)
        return 2
    shot, x, y, size, art2, art1 = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), \
        sys.argv[5], sys.argv[6]
    screen = pixels(shot, x, y, size, size)
    # The page beside the corner: left of the art, at the corner's lower end.
    background = pixels(shot, x - 3, y + size, 1, 1)[(0, 0)][:3]
    sharp = pixels(art2, 0, 0, size, size)
    plain = pixels(art1, 0, 0, (size + 1) // 2, (size + 1) // 2)
    if len(screen) != size * size or len(sharp) != size * size:
        print("sharp-corner: could not read a %dx%d square from both pictures" % (size, size))
        return 1
    e2 = error(screen, sharp, size, background, 1)
    e1 = error(screen, plain, size, background, 2)
    print("corner error against the @2x art %.2f, against the stretched 1x art %.2f (background %s)"
          % (e2, e1, ",".join("%d" % c for c in background)))
    return 0 if e2 <= SAME and e2 * 2 < e1 else 1


if __name__ == "__main__":
    sys.exit(main())
