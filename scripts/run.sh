#!/usr/bin/env bash
# Builds and runs the installer under Wine. With $DISPLAY set it runs there until
# closed; otherwise it runs on a private Xvfb display, a screenshot is written to
# SHOT (default build/screenshot.png) and the program is closed.
set -uo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
bash scripts/build.sh >/dev/null || { echo "run: build failed" >&2; exit 1; }
export VELKARO_WINE_ROOT="$repo/build/wine"
exe="$repo/build/bin/KeInstall.exe"

if [ -n "${DISPLAY:-}" ]; then
  exec scripts/wine-run "$exe"
fi

. scripts/xsession.sh
shot=${SHOT:-$repo/build/screenshot.png}
cleanup() {
  WINEPREFIX="$VELKARO_WINE_ROOT/prefix" wineserver -k 2>/dev/null || true
  xsession_stop
}
trap cleanup EXIT
xsession_start || { echo "run: no X display" >&2; exit 1; }
scripts/wine-run "$exe" &
pid=$!
for i in $(seq 1 100); do
  xdotool search --onlyvisible --name "${WINDOW_TITLE:-Velkaro}" >/dev/null 2>&1 && break
  sleep 0.1
done
sleep "${SETTLE:-1.5}"
import -window root "$shot"
echo "screenshot: $shot"
kill "$pid" 2>/dev/null || true
