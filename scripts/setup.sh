#!/usr/bin/env bash
# Prepares a Debian 12 machine to build, run and test Velkaro Setup.
# Idempotent: a rerun with everything in place takes seconds.
#   1. Debian packages (i386 multiarch, mingw-w64, Wine, Xvfb, tools, fonts;
#      clang with libFuzzer and the host's liblzma for the native fuzz targets).
#   2. Target libraries Debian does not ship for mingw (liblzma, libbz2,
#      libarchive, libcrypto), built from Debian source packages into a
#      versioned prefix under the cache folder.
# Prints the prefix on its last line as VELKARO_DEPS=<path>.
set -euo pipefail

CACHE_ROOT=${VELKARO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velkaro}
# The product is 32-bit. Machines whose kernel cannot run 32-bit programs (so no
# 32-bit Wine) build and test the same sources for x86_64 (see scripts/arch.sh).
HOST=${VELKARO_HOST:-i686-w64-mingw32}
case $HOST in
  i686-w64-mingw32) SSL_TARGET=mingw ;;
  x86_64-w64-mingw32) SSL_TARGET=mingw64 ;;
  *) echo "setup: unknown target $HOST" >&2; exit 1 ;;
esac
JOBS=$(nproc)

step() { printf '\n== setup: %s\n' "$*"; }
fail() { printf '\nsetup FAILED in step "%s": %s\n' "$CURRENT_STEP" "$*" >&2; exit 1; }
CURRENT_STEP=start
trap 'rc=$?; [ $rc -ne 0 ] && printf "\nsetup FAILED in step \"%s\" (exit %s)\n" "$CURRENT_STEP" "$rc" >&2' EXIT

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo

# ---------------------------------------------------------------- packages
PACKAGES=(
  g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32 wine64
  xvfb xdotool x11-utils imagemagick xclip gcc libx11-dev
  7zip p7zip-full zip unzip
  libz-mingw-w64-dev libstb-dev googletest
  cmake make pkg-config dpkg-dev ca-certificates curl perl python3 autoconf automake libtool
  liblnk-utils
  clang libclang-rt-14-dev liblzma-dev
  fonts-wqy-microhei fonts-liberation2
  ccache librsvg2-bin optipng pngquant
)
PACKAGES_NO_RECOMMENDS=(openbox xcompmgr)

missing_packages() {
  local p
  for p in "${PACKAGES[@]}" "${PACKAGES_NO_RECOMMENDS[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

# deb-src entries mirror the machine's own deb entries (same URIs and suites),
# so apt-get source works wherever apt itself works.
ensure_deb_src() {
  local out=/etc/apt/sources.list.d/velkaro-src.sources
  [ -f "$out" ] && return 0
  local tmp; tmp=$(mktemp)
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    [ "$f" = "$out" ] && continue
    awk 'BEGIN{RS=""; ORS="\n\n"}
         /(^|\n)Types:[^\n]*deb([ \n]|$)/ && !/(^|\n)Types:[^\n]*deb-src/ {
           gsub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f" >>"$tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >"$tmp.list" || true
    [ -s "$tmp.list" ] && $SUDO cp "$tmp.list" /etc/apt/sources.list.d/velkaro-src.list
    rm -f "$tmp.list"
  fi
  $SUDO cp "$tmp" "$out"
  rm -f "$tmp"
  APT_UPDATED=
}

APT_UPDATED=
apt_update() {
  [ -n "$APT_UPDATED" ] && return 0
  $SUDO apt-get update -q || fail "apt-get update"
  APT_UPDATED=1
}

CURRENT_STEP="Debian packages"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  step "adding i386 architecture"
  $SUDO dpkg --add-architecture i386
fi
miss=$(missing_packages)
if [ -n "$miss" ]; then
  step "installing packages: $(echo $miss)"
  apt_update
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get install -y -q "${PACKAGES[@]}" || fail "apt-get install"
  $SUDO apt-get install -y -q --no-install-recommends "${PACKAGES_NO_RECOMMENDS[@]}" || fail "apt-get install (no recommends)"
fi

# ---------------------------------------------------------------- target libraries
# The recipe below decides the prefix name: change it and a new prefix is built.
RECIPE_ID=$(sed -n '/^# >>> recipe/,/^# <<< recipe/p' "$0" | sha1sum | cut -c1-12)
PREFIX="$CACHE_ROOT/deps-$RECIPE_ID"
[ "$HOST" = i686-w64-mingw32 ] || PREFIX="$CACHE_ROOT/deps-${HOST%%-*}-$RECIPE_ID"

if [ -f "$PREFIX/.complete" ]; then
  trap - EXIT
  echo "VELKARO_DEPS=$PREFIX"
  exit 0
fi

CURRENT_STEP="source entries"
ensure_deb_src
apt_update

WORK=$(mktemp -d "${TMPDIR:-/tmp}/velkaro-deps.XXXXXX")
STAGE="$PREFIX.partial.$$"
cleanup() { rm -rf "$WORK" "$STAGE"; }
trap 'rc=$?; cleanup; [ $rc -ne 0 ] && printf "\nsetup FAILED in step \"%s\" (exit %s)\n" "$CURRENT_STEP" "$rc" >&2' EXIT
mkdir -p "$STAGE/include" "$STAGE/lib"

# Fetches and unpacks a Debian source package into $WORK/<pkg>; prints the folder.
# Falls back to the upstream tarball alone when the .dsc cannot be fetched
# (a security update whose .dsc left the mirror).
fetch_source() {
  local pkg=$1
  local dir="$WORK/$pkg"
  mkdir -p "$dir"
  if ! (cd "$dir" && apt-get source -q "$pkg" >"$dir/fetch.log" 2>&1); then
    local uris
    # Asked from an empty folder: apt names files it already sees there without their URI.
    mkdir -p "$WORK/uris-$pkg"
    uris=$(cd "$WORK/uris-$pkg" && apt-get source --print-uris -q "$pkg" 2>/dev/null | grep -oE "'[^']+\.orig\.tar\.[a-z0-9]+'" | tr -d "'") || true
    [ -n "$uris" ] || { cat "$dir/fetch.log" >&2; fail "no source for $pkg"; }
    local u
    for u in $uris; do
      (cd "$dir" && rm -f "$(basename "$u")" && curl -fsSLO "$u") || fail "download $u"
    done
    local tarball
    tarball=$(ls "$dir"/*.orig.tar.gz "$dir"/*.orig.tar.xz "$dir"/*.orig.tar.bz2 2>/dev/null | head -1)
    [ -n "$tarball" ] || fail "no upstream tarball for $pkg"
    (cd "$dir" && tar xf "$tarball") || fail "unpack $pkg"
  fi
  local src
  src=$(find "$dir" -mindepth 1 -maxdepth 1 -type d | head -1)
  [ -n "$src" ] || fail "unpacked source of $pkg not found"
  echo "$src"
}

record_version() { echo "$1 $(basename "$2")" >>"$STAGE/VERSIONS"; }

# >>> recipe (edit here and the cache key changes)
CROSS_ENV=(CC=$HOST-gcc-posix CXX=$HOST-g++-posix AR=$HOST-ar RANLIB=$HOST-ranlib)

CURRENT_STEP="liblzma (xz-utils)"
step "$CURRENT_STEP"
src=$(fetch_source xz-utils); record_version xz-utils "$src"
(cd "$src" && env "${CROSS_ENV[@]}" ./configure -q --host=$HOST --prefix="$STAGE" \
    --enable-static --disable-shared --disable-xz --disable-xzdec --disable-lzmadec \
    --disable-lzmainfo --disable-scripts --disable-doc --disable-nls --disable-threads \
    >"$WORK/xz.log" 2>&1 \
  && make -j"$JOBS" -C src/liblzma >>"$WORK/xz.log" 2>&1 \
  && make -C src/liblzma install >>"$WORK/xz.log" 2>&1) || { tail -30 "$WORK/xz.log" >&2; fail "build failed"; }

CURRENT_STEP="libbz2 (bzip2)"
step "$CURRENT_STEP"
src=$(fetch_source bzip2); record_version bzip2 "$src"
(cd "$src" && for f in blocksort huffman crctable randtable compress decompress bzlib; do
   $HOST-gcc-posix -O2 -D_FILE_OFFSET_BITS=64 -c $f.c -o $f.o || exit 1; done \
  && $HOST-ar rcs "$STAGE/lib/libbz2.a" blocksort.o huffman.o crctable.o randtable.o compress.o decompress.o bzlib.o \
  && cp bzlib.h "$STAGE/include/") >"$WORK/bz2.log" 2>&1 || { tail -30 "$WORK/bz2.log" >&2; fail "build failed"; }

CURRENT_STEP="libarchive"
step "$CURRENT_STEP"
src=$(fetch_source libarchive); record_version libarchive "$src"
ZLIB_A=/usr/$HOST/lib/libz.a
# Debian's patches touch configure.ac: regenerate rather than trust timestamps.
(cd "$src" && autoreconf -fi >"$WORK/archive.log" 2>&1 && env "${CROSS_ENV[@]}" \
    CPPFLAGS="-I$STAGE/include -DLZMA_API_STATIC" LDFLAGS="-L$STAGE/lib" LIBS="$ZLIB_A" \
    ./configure -q --host=$HOST --prefix="$STAGE" --enable-static --disable-shared \
    --disable-bsdtar --disable-bsdcpio --disable-bsdcat --disable-acl --disable-xattr \
    --with-zlib --with-bz2lib --with-lzma --without-xml2 --without-expat --without-openssl \
    --without-nettle --without-mbedtls --without-lz4 --without-zstd --without-iconv \
    --without-libb2 --without-cng \
    >>"$WORK/archive.log" 2>&1 \
  && grep -q '#define HAVE_LZMA_H 1' config.h && grep -q '#define HAVE_BZLIB_H 1' config.h \
  && grep -q '#define HAVE_ZLIB_H 1' config.h \
  && make -j"$JOBS" libarchive.la >>"$WORK/archive.log" 2>&1 \
  && make install-libLTLIBRARIES install-includeHEADERS >>"$WORK/archive.log" 2>&1) \
  || { tail -40 "$WORK/archive.log" >&2; fail "build failed (or configure did not find lzma/bz2/zlib)"; }

CURRENT_STEP="libcrypto (openssl)"
step "$CURRENT_STEP"
src=$(fetch_source openssl); record_version openssl "$src"
(cd "$src" && ./Configure $SSL_TARGET no-shared no-tests no-asm no-module \
    --cross-compile-prefix=$HOST- --prefix="$STAGE" --libdir=lib \
    CC=gcc-posix CXX=g++-posix >"$WORK/ssl.log" 2>&1 \
  && make -j"$JOBS" build_libs >>"$WORK/ssl.log" 2>&1 \
  && make install_dev >>"$WORK/ssl.log" 2>&1) || { tail -40 "$WORK/ssl.log" >&2; fail "build failed"; }
rm -f "$STAGE"/lib/*.la "$STAGE"/lib/*.dll.a
# <<< recipe

CURRENT_STEP="publish prefix"
touch "$STAGE/.complete"
rm -rf "$PREFIX"
mv "$STAGE" "$PREFIX"
trap - EXIT
rm -rf "$WORK"
step "libraries ready in $PREFIX"
cat "$PREFIX/VERSIONS"
echo "VELKARO_DEPS=$PREFIX"
