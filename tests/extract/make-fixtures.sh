#!/usr/bin/env bash
# Makes the extraction fixtures with Debian's 7z: make-fixtures.sh <output folder>
set -euo pipefail
exec python3 "$(dirname "$0")/make-fixtures.py" "$1"
