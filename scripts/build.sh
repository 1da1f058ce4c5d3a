#!/usr/bin/env bash
# Sets up the machine when needed, configures and builds everything into build/.
# build/ holds the architecture this machine tests (scripts/arch.sh): the shipping
# i686 build, or x86_64 where 32-bit programs cannot run.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
. scripts/arch.sh
arch=$(velkaro_arch)
setup_out=$(VELKARO_HOST=$arch-w64-mingw32 bash scripts/setup.sh | tee /dev/stderr)
deps=$(printf '%s\n' "$setup_out" | sed -n 's/^VELKARO_DEPS=//p' | tail -1)
[ -n "$deps" ] || { echo "build: setup did not report the library prefix" >&2; exit 1; }
toolchain=$repo/cmake/mingw-$arch.cmake
# A build folder configured for the other architecture cannot be reused.
if [ -f build/CMakeCache.txt ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:[A-Z]*=.*mingw-$arch\.cmake$" build/CMakeCache.txt; then
  rm -rf build
fi
cmake -S . -B build -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DVELKARO_DEPS="$deps" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} >/dev/null
# Checkouts at other paths share ccache entries through paths relative to here.
export CCACHE_BASEDIR="$repo"
cmake --build build -j"$(nproc)"
