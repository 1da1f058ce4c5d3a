#!/usr/bin/env bash
# Stages the sample product (generated assets, DUDavov.exe and, when given,
# the uninstaller DEZeRodurav.exe) and packs it into the payload archive with
# Debian's 7z, LZMA2, solid.
#   pack-payload.sh <stage folder> <DUDavov.exe> <archive> [<DEZeRodurav.exe>]
set -euo pipefail
stage=$1 exe=$2 archive=$3 uninstaller=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$stage" "$archive"
python3 "$here/make-assets.py" "$stage"
cp "$exe" "$stage/DUDavov.exe"
[ -z "$uninstaller" ] || cp "$uninstaller" "$stage/DEZeRodurav.exe"
(cd "$stage" && 7z a -bd -mx5 "$archive" . >/dev/null) || { echo "pack-payload: 7z failed" >&2; rm -f "$archive"; exit 1; }
