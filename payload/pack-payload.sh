#!/usr/bin/env bash
# Stages the sample product (generated assets plus DUDavov.exe) and packs it
# into the payload archive with Debian's 7z, LZMA2, solid.
#   pack-payload.sh <stage folder> <DUDavov.exe> <archive>
set -euo pipefail
stage=$1 exe=$2 archive=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$stage" "$archive"
python3 "$here/make-assets.py" "$stage"
cp "$exe" "$stage/DUDavov.exe"
(cd "$stage" && 7z a -bd -mx5 "$archive" . >/dev/null) || { echo "pack-payload: 7z failed" >&2; rm -f "$archive"; exit 1; }
