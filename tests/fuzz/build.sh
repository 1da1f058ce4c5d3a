#!/usr/bin/env bash
# Builds the LZMA2 fuzz targets natively (clang, libFuzzer, ASan, UBSan,
# against the host's liblzma) into the given folder. Used by the CMake build
# and by scripts/fuzz-lzma2; the decoder is portable C++, so no Wine here.
#   tests/fuzz/build.sh <output folder>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
out=${1:?usage: build.sh <output folder>}
mkdir -p "$out"
cxx=
for c in clang++-14 clang++; do
  command -v "$c" >/dev/null && { cxx=$c; break; }
done
[ -n "$cxx" ] || { echo "fuzz build: clang++ not found (scripts/setup.sh installs it)" >&2; exit 1; }
[ -f /usr/include/lzma.h ] || { echo "fuzz build: lzma.h not found (scripts/setup.sh installs liblzma-dev)" >&2; exit 1; }
flags=(-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined
       -fno-sanitize-recover=all -Wall -Wextra -I"$src/7zCore" -I"$here")
for target in Lzma2DiffFuzz Lzma2RoundTripFuzz; do
  "$cxx" "${flags[@]}" -o "$out/$target.tmp" "$here/$target.cpp" "$src/7zCore/Lzma2Decoder.cpp" -llzma
  mv "$out/$target.tmp" "$out/$target"
done
