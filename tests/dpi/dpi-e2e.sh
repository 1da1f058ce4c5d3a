#!/usr/bin/env bash
# The installer on 150 % and 200 % screens, as a person there uses it: a Wine
# prefix of its own (the shared one keeps 96 DPI for the other tests) whose
# screen is set to 144 and then 192 DPI, on an X display of its own that is large
# enough for the 200 % window. At each scale: the window's size, the welcome page
# drawn, "立即安装" clicked at its scaled place, the completion page reached,
# "立即体验" clicked and the exit code 0. At 200 % the install button's round
# corner must match the @2x art, not the 1x art stretched.
# Screenshots (welcome-150.png, ...) go to <build>/dpi-e2e.
#   dpi-e2e.sh <KeInstall.exe> <build dir>
# Needs VELKARO_SOURCE and VELKARO_SKIN_TREE (ctest sets them).
set -uo pipefail
exe=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
export VELKARO_WINE_ROOT=$build/dpi-wine
out=$build/dpi-e2e
. "$VELKARO_SOURCE/tests/wizard/e2e-lib.sh"
rm -f "$out"/*.log
# Each step says when it passed: the prefix and the two installs share a budget.
ok() { echo "ok   $* (${SECONDS} s)"; }

. "$VELKARO_SOURCE/scripts/xsession.sh"
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  WINEPREFIX="$VELKARO_WINE_ROOT/prefix" wineserver -k 2>/dev/null
  xsession_stop
}
trap cleanup EXIT
VELKARO_SCREEN=1920x1200 xsession_start || { echo "FAIL: no X display"; exit 1; }
xdotool mousemove 5 5

# A fresh prefix each run: what an earlier run left (its DPI, an install) cannot
# decide this one.
WINEPREFIX="$VELKARO_WINE_ROOT/prefix" wineserver -k 2>/dev/null
rm -rf "$VELKARO_WINE_ROOT"
run cmd /c exit >/dev/null 2>&1 || { echo "FAIL: no Wine prefix in $VELKARO_WINE_ROOT"; exit 1; }
echo "     prefix ready (${SECONDS} s)"

# The screen's DPI, where Wine 8 reads it. Each program reads it when it
# starts, so the server and its other programs can stay.
set_dpi() {
  run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
    fail "could not set LogPixels to $1"
}

# Page coordinates are skin pixels: on screen they and the 16-pixel shadow
# margin grow by the scale.
pct=100
page_x() { echo $((X + (16 + $1) * pct / 100)); }
page_y() { echo $((Y + (16 + $1) * pct / 100)); }
# shot_window <name>: the window and its shadow, with a little desktop around it.
shot_window() {
  import -window root -crop "$((WIDTH + 16))x$((HEIGHT + 16))+$((X - 8))+$((Y - 8))" +repage "$out/$1.png" \
    2>/dev/null || fail "could not save $1.png"
}

no_wizard_title() { [ -z "$(xdotool search --onlyvisible --name '^Velkaro$' 2>/dev/null)" ]; }

# scale_run <dpi> <percent>
scale_run() {
  local dpi=$1 want_w want_h geometry= i
  pct=$2
  want_w=$((732 * pct / 100)) want_h=$((452 * pct / 100))
  clean_machine
  set_dpi "$dpi"
  # The product started by the last run has the wizard's title; once closed,
  # the display may show it a moment longer.
  until_true 100 no_wizard_title || fail "a window named Velkaro stayed from the last run"
  "$VELKARO_SOURCE/scripts/wine-run" --root="$VELKARO_WINE_ROOT" "$exe" >"$out/run-$pct.log" 2>&1 &
  pid=$!
  find_window '^Velkaro$' 200 || fail "the wizard did not appear at $dpi DPI"
  [ "$WIDTH" = "$want_w" ] && [ "$HEIGHT" = "$want_h" ] ||
    fail "at $dpi DPI the wizard is ${WIDTH}x$HEIGHT, not ${want_w}x$want_h"
  ok "$dpi DPI: the wizard is ${WIDTH}x$HEIGHT"
  until_true 50 is_blue "$(page_x 350)" "$(page_y 286)" || fail "$dpi DPI: the install button is not shown"
  sleep 0.3
  shot_window "welcome-$pct"
  ok "$dpi DPI: welcome page shown"

  if [ "$pct" = 200 ]; then
    local art="$VELKARO_SKIN_TREE/DUDavov/zel_video/public/Install uninstall/btn_experience"
    # "立即安装" spans (246, 264)-(454, 308) on the page; its top-left corner
    # square is 10 skin pixels, 20 screen pixels.
    python3 "$here/sharp-corner.py" "$out/welcome-200.png" \
      $(( $(page_x 246) - X + 8 )) $(( $(page_y 264) - Y + 8 )) 20 "$art@2x.png" "$art.png" \
      >"$out/corner.txt" 2>&1
    local status=$?
    cat "$out/corner.txt"
    [ "$status" = 0 ] || fail "200 %: the install button's corner is not drawn from the @2x art"
    ok "200 %: the install button's corner is the @2x art"
  fi

  click_page 350 286
  # Progress page, then the completion page ("立即体验" at (350, 224)).
  until_true 300 is_blue "$(page_x 350)" "$(page_y 224)" || fail "$dpi DPI: the completion page did not come"
  sleep 0.3
  shot_window "completion-$pct"
  ok "$dpi DPI: completion page after \"立即安装\" at its scaled place"
  click_page 350 224
  wait_exit 150 || fail "$dpi DPI: the wizard did not end after \"立即体验\""
  [ "$rc" = 0 ] || fail "$dpi DPI: exit code $rc"
  ok "$dpi DPI: \"立即体验\" ended the wizard with 0"
  entry_registered || fail "$dpi DPI: no uninstall entry"
  # The product started once; it has the wizard's title: closed as its user would.
  local w
  for w in $(xdotool search --onlyvisible --name '^Velkaro$' 2>/dev/null); do
    xdotool windowactivate --sync "$w" key alt+F4 2>/dev/null
  done
  xdotool mousemove 5 5
}

scale_run 144 150
scale_run 192 200
echo "dpi e2e: 9 passed, 0 failed"
