#!/usr/bin/env bash
# Sets up the machine when needed, configures and builds everything into build/.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
setup_out=$(bash scripts/setup.sh | tee /dev/stderr)
deps=$(printf '%s\n' "$setup_out" | sed -n 's/^VELKARO_DEPS=//p' | tail -1)
[ -n "$deps" ] || { echo "build: setup did not report the library prefix" >&2; exit 1; }
cmake -S . -B build -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DVELKARO_DEPS="$deps" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} >/dev/null
cmake --build build -j"$(nproc)"
