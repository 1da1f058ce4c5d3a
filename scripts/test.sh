#!/usr/bin/env bash
# Builds everything and runs every test (unit tests and end-to-end scripts) under
# Wine on a private X display. Extra arguments go to ctest (e.g. -R skin_test;
# GTEST_FILTER='UiDpi*' picks cases inside the executables).
set -uo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
bash scripts/build.sh || { echo "test: build failed" >&2; exit 1; }

. scripts/xsession.sh
export VELKARO_WINE_ROOT="$repo/build/wine"
cleanup() {
  WINEPREFIX="$VELKARO_WINE_ROOT/prefix" wineserver -k 2>/dev/null || true
  xsession_stop
}
trap cleanup EXIT
xsession_start || { echo "test: no X display" >&2; exit 1; }
# Creates the prefix once and starts its server, so every test starts quickly.
scripts/wine-run cmd /c exit >/dev/null 2>&1 || { echo "test: Wine does not start" >&2; exit 1; }
# One desktop process for the whole run, instead of one brought up and taken
# down around every test program (ended with the server at cleanup).
scripts/wine-run build/bin/desktop_keeper.exe </dev/null >/dev/null 2>&1 &

ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"
