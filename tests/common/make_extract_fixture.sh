#!/usr/bin/env bash
# Makes the archive for the extraction test with Debian's 7z: a text file and
# a binary one in a nested folder, packed with LZMA2.
set -euo pipefail
out=$1
rm -rf "$out/source" "$out/sample.7z"
mkdir -p "$out/source/nested"
for i in $(seq 1 200); do echo "line $i of the sample text"; done >"$out/source/a.txt"
# Binary, barely compressible and the same on every run.
seq 1 140000 | gzip -n -9 -c >"$out/source/nested/b.bin"
seven=$(command -v 7zz || command -v 7z)
(cd "$out/source" && "$seven" a -t7z -m0=lzma2 "$out/sample.7z" a.txt nested >/dev/null)
test -s "$out/sample.7z"
