#!/usr/bin/env python3
"""Host-side fixtures for the extraction tests: a source tree and 7z archives
made from it by Debian's 7z with each method, plus broken and hostile ones.

  make-fixtures.py <output folder>
"""
import binascii
import os
import random
import shutil
import struct
import subprocess
import sys

METHODS = {
    "lzma": ["-m0=LZMA"],
    "lzma2": ["-m0=LZMA2"],
    "bcj_lzma2": ["-m0=BCJ", "-m1=LZMA2"],
    "bcj2": ["-m0=BCJ2", "-m1=LZMA2", "-m2=LZMA", "-m3=LZMA", "-mb0:1", "-mb0s1:2", "-mb0s2:3"],
    "ppmd": ["-m0=PPMd"],
    "bzip2": ["-m0=BZip2"],
    "deflate": ["-m0=Deflate"],
    "nonsolid": ["-m0=LZMA2", "-ms=off"],
}


def write(root, relative, data, mode=None):
    path = os.path.join(root, *relative.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    if mode is not None:
        os.chmod(path, mode)


def code_like(rng, size):
    out = bytearray()
    while len(out) < size:
        out += bytes([0x55, 0x8B, 0xEC, 0x83, 0xEC, rng.getrandbits(8)])
        out += bytes([0xE8]) + struct.pack("<i", rng.randint(-5000, 5000))
        out += bytes([0xE9]) + struct.pack("<i", rng.randint(-5000, 5000))
        out += bytes(rng.getrandbits(8) for _ in range(rng.randint(0, 6)))
    return bytes(out[:size])


def make_tree(root, rng):
    words = "alpha beta 视频 转换 qualité été señal øre 字幕 编码 naïve".split()
    text = "".join(" ".join(rng.choice(words) for _ in range(10)) + "\n" for _ in range(20000))
    write(root, "readme.txt", text.encode("utf-8"))
    write(root, "bin/program.exe", code_like(rng, 300 * 1024))
    write(root, "bin/library.dll", code_like(rng, 200 * 1024))
    write(root, "media/clip.mp4", rng.randbytes(700 * 1024))
    write(root, "媒体/视频 样本/示例.bin", rng.randbytes(50 * 1024))
    write(root, "Données/Élément été/café.txt", "crème brûlée\n".encode("utf-8") * 100)
    write(root, "emoji/🎬 film.txt", b"outside the basic plane\n")
    write(root, "empty.txt", b"")
    write(root, "nested/a/b/c/d/deep.txt", b"deep\n")
    write(root, "nested/a/b/empty-too.dat", b"")
    write(root, "locked/read-only.txt", b"do not change\n", 0o444)
    os.makedirs(os.path.join(root, "empty-folder"), exist_ok=True)
    os.makedirs(os.path.join(root, "空文件夹", "里面"), exist_ok=True)
    # Fixed times, so that kept times can be compared exactly.
    for folder, dirs, files in os.walk(root, topdown=False):
        for name in files + dirs:
            os.utime(os.path.join(folder, name), (1600000000, 1600000000 + len(name)))


def sevenzip(args, cwd):
    subprocess.run(["7z", "a", "-bd", "-y"] + args, cwd=cwd, check=True, stdout=subprocess.DEVNULL)


def patch_names(archive, out, old, new):
    """Rewrites an item name inside an archive with an uncompressed header, then
    fixes the two header checksums so that only the name is wrong."""
    data = bytearray(open(archive, "rb").read())
    old16, new16 = old.encode("utf-16-le"), new.encode("utf-16-le")
    assert len(old16) == len(new16)
    next_offset, next_size = struct.unpack_from("<QQ", data, 12)
    start = 32 + next_offset
    header = bytes(data[start:start + next_size])
    assert old16 in header, "name not found in header"
    header = header.replace(old16, new16)
    data[start:start + next_size] = header
    struct.pack_into("<I", data, 28, binascii.crc32(header) & 0xFFFFFFFF)
    struct.pack_into("<I", data, 8, binascii.crc32(bytes(data[12:32])) & 0xFFFFFFFF)
    open(out, "wb").write(data)


def main():
    out = sys.argv[1]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    src = os.path.join(out, "src")
    make_tree(src, random.Random(1234))
    for name, args in METHODS.items():
        sevenzip(args + [os.path.join(out, name + ".7z"), "."], src)

    # Only empty files and folders: nothing to unpack.
    empty = os.path.join(out, "empty-src")
    write(empty, "nothing.txt", b"")
    os.makedirs(os.path.join(empty, "folder", "inner"))
    sevenzip([os.path.join(out, "empty.7z"), "."], empty)

    open(os.path.join(out, "zero.7z"), "wb").close()
    whole = open(os.path.join(out, "lzma2.7z"), "rb").read()
    open(os.path.join(out, "truncated.7z"), "wb").write(whole[: len(whole) // 2])
    # One flipped byte in the packed data: the header still reads, the data does not.
    broken = bytearray(whole)
    broken[len(broken) // 3] ^= 0x55
    open(os.path.join(out, "corrupt.7z"), "wb").write(broken)

    # Hostile names: an item in "zz" renamed to ".." and to "C:" after packing.
    hostile = os.path.join(out, "hostile-src")
    write(hostile, "first.txt", b"harmless\n")
    write(hostile, "zz/escape.txt", b"must never be written\n")
    plain = os.path.join(out, "hostile-plain.7z")
    sevenzip(["-mhc=off", "-m0=Copy", plain, "first.txt", "zz"], hostile)
    patch_names(plain, os.path.join(out, "dotdot.7z"), "zz", "..")
    patch_names(plain, os.path.join(out, "drive.7z"), "zz", "C:")

    # A symbolic link that points out of the destination, and one that stays inside.
    links = os.path.join(out, "links-src")
    write(links, "data/target.txt", b"inside\n")
    os.makedirs(os.path.join(links, "sub"))
    os.symlink("../../outside.txt", os.path.join(links, "sub", "escape"))
    sevenzip(["-snl", os.path.join(out, "link-out.7z"), "."], links)
    os.remove(os.path.join(links, "sub", "escape"))
    os.symlink("../data/target.txt", os.path.join(links, "sub", "inside"))
    sevenzip(["-snl", os.path.join(out, "link-in.7z"), "."], links)

    # A payload large enough to stop half-way; stored, so that it packs at once.
    big = os.path.join(out, "big-src")
    big_rng = random.Random(99)
    for i in range(24):
        write(big, "big/part-%02d.bin" % i, big_rng.randbytes(2 << 20))
    write(big, "big/sub/inner.bin", big_rng.randbytes(1 << 20))
    sevenzip(["-m0=Copy", os.path.join(out, "big.7z"), "."], big)


if __name__ == "__main__":
    main()
