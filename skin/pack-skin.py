#!/usr/bin/env python3
"""Packs a rendered skin tree into the zip that KeInstall.exe carries as its resource.

    pack-skin.py SKIN_DIR OUT.zip

The same tree always gives the same bytes: items in sorted order, one fixed
time stamp, DOS attributes of a plain archived file, no directory entries and
no extra fields. Layouts are deflated; PNG images are already compressed and
are stored as they are.
"""
import os
import sys
import zipfile

FIXED_TIME = (2020, 1, 1, 0, 0, 0)
FILE_ATTRIBUTE_ARCHIVE = 0x20
HOST_MSDOS = 0
# Item names are read as UTF-8 and looked up under 256 bytes (see UiZip).
MAX_NAME_BYTES = 255


def skin_items(root):
    """Sorted archive names ("/" separated) of every file under root."""
    names = []
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        for name in files:
            rel = os.path.relpath(os.path.join(folder, name), root)
            names.append(rel.replace(os.sep, "/"))
    return sorted(names)


def pack(root, target):
    names = skin_items(root)
    if not names:
        raise SystemExit("pack-skin: %s holds no files" % root)
    lowered = {}
    for name in names:
        if len(name.encode("utf-8")) > MAX_NAME_BYTES:
            raise SystemExit("pack-skin: item name too long for the skin reader: %s" % name)
        # The framework looks names up ignoring case: two that differ only in case
        # would hide one another.
        clash = lowered.setdefault(name.lower(), name)
        if clash != name:
            raise SystemExit("pack-skin: %s and %s differ only in case" % (clash, name))
    # Written aside and moved into place, so a failed run never leaves a partial
    # archive that the resource compiler would take for a good one.
    temporary = target + ".tmp"
    try:
        with zipfile.ZipFile(temporary, "w") as archive:
            for name in names:
                info = zipfile.ZipInfo(name, date_time=FIXED_TIME)
                info.create_system = HOST_MSDOS
                info.external_attr = FILE_ATTRIBUTE_ARCHIVE
                info.compress_type = zipfile.ZIP_STORED if name.lower().endswith(".png") else zipfile.ZIP_DEFLATED
                with open(os.path.join(root, *name.split("/")), "rb") as f:
                    archive.writestr(info, f.read(), compresslevel=9)
        os.replace(temporary, target)
    except BaseException:
        if os.path.exists(temporary):
            os.unlink(temporary)
        raise
    return names


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    root, target = argv[1], argv[2]
    if not os.path.isdir(root):
        print("pack-skin: no such folder: %s" % root, file=sys.stderr)
        return 1
    names = pack(root, target)
    print("pack-skin: %d items, %d bytes -> %s" % (len(names), os.path.getsize(target), target))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
