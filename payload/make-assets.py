#!/usr/bin/env python3
"""Writes the product's sample assets (about 3 MB) into the folder given.

Content is derived from a fixed seed, so every build packs the same bytes:
text, incompressible "media", structured binaries, an empty file and an empty
folder, under nested folders with Chinese and accented names.
"""
import os
import random
import sys


def write(root, relative, data):
    path = os.path.join(root, *relative.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def text(rng, lines):
    words = ["velkaro", "vidéo", "conversion", "转换", "视频", "格式", "qualité", "déjà", "编码", "frame",
             "bitrate", "音频", "sortie", "entrée", "résolution", "字幕"]
    out = []
    for i in range(lines):
        out.append(" ".join(rng.choice(words) for _ in range(rng.randint(4, 14))) + "\n")
    return "".join(out).encode("utf-8")


def binary(rng, size):
    # Code-like bytes: repeated short patterns with noise, as in an executable.
    chunks = [bytes(rng.getrandbits(8) for _ in range(rng.randint(4, 32))) for _ in range(64)]
    out = bytearray()
    while len(out) < size:
        out += rng.choice(chunks)
        if rng.random() < 0.1:
            out += bytes([0xE8]) + rng.getrandbits(32).to_bytes(4, "little")
    return bytes(out[:size])


def main():
    root = sys.argv[1]
    rng = random.Random(5310)
    write(root, "Lisez-moi.txt", text(rng, 40))
    write(root, "locale/中文/字符串.txt", text(rng, 2000))
    write(root, "locale/Français/chaînes.txt", text(rng, 2000))
    write(root, "resources/界面/图标/播放按钮.png", rng.randbytes(96 * 1024))
    write(root, "resources/界面/背景/主窗口.jpg", rng.randbytes(320 * 1024))
    write(root, "resources/Vidéos d'exemple/démo_été.mp4", rng.randbytes(1200 * 1024))
    write(root, "resources/Vidéos d'exemple/Ærøskøbing – señal.mkv", rng.randbytes(400 * 1024))
    write(root, "plugins/codecs/codec_ü.dll", binary(rng, 600 * 1024))
    write(root, "plugins/滤镜/降噪.dll", binary(rng, 300 * 1024))
    write(root, "data/empty.dat", b"")
    os.makedirs(os.path.join(root, "cache", "缩略图"), exist_ok=True)


if __name__ == "__main__":
    main()
