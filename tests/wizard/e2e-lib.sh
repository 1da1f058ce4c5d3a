# Sourced by the wizard's end-to-end scenarios: the installer started under
# Wine on the test display, found, driven with the real pointer and watched
# through screen pixels. Set before sourcing:
#   out   folder for screenshots and logs (made and emptied here)
# Needs VELKARO_SOURCE and VELKARO_WINE_ROOT (ctest sets them).
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.txt
drive=$VELKARO_WINE_ROOT/prefix/drive_c
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\{9231853D-F1E3-4F7E-BDDF-8D9AF6D07462}'
pid=
# The wizard's window: its id and its top-left corner on screen. The skin's
# coordinates are relative to the page, which sits 16 pixels (the shadow
# margin) inside the window.
win= X= Y= WIDTH= HEIGHT=
margin=16

run() { "$VELKARO_SOURCE/scripts/wine-run" --root="$VELKARO_WINE_ROOT" "$@"; }
shot() { import -window root "$out/$1.png" 2>/dev/null; }
fail() {
  echo "FAIL: $*"
  shot failure
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}
ok() { echo "ok   $*"; }

# The colour of one screen pixel as "r g b".
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | head -1
}
is_blue() { local r g b; read -r r g b <<<"$(pixel "$1" "$2")"; [ -n "${b:-}" ] && [ "$b" -gt 200 ] && [ "$r" -lt 150 ]; }
# Screen position of a point given in page coordinates.
page_x() { echo $((X + margin + $1)); }
page_y() { echo $((Y + margin + $1)); }
# until_true <tenths> <command...>: true once the command succeeds.
until_true() {
  local tenths=$1 i
  shift
  for i in $(seq 1 "$tenths"); do "$@" && return 0; sleep 0.1; done
  "$@"
}
# click_page <x> <y>: a real click at a point of the page.
click_page() {
  xdotool mousemove "$(page_x "$1")" "$(page_y "$2")"
  sleep 0.2
  xdotool click 1
}

# A clean machine: no product folder, no entry in either registry view.
clean_machine() {
  local view
  for view in 32 64; do run reg delete "$uninstall_key" /f /reg:$view >/dev/null 2>&1; done
  rm -rf "$drive"/Program\ Files*/Norvantix/Norvantix
}
# True when the uninstall entry exists in either registry view.
entry_registered() {
  local view
  for view in 32 64; do
    run reg query "$uninstall_key" /v DisplayName /reg:$view 2>/dev/null | grep -aq Velkaro && return 0
  done
  return 1
}

# start_wizard <KeInstall.exe>: starts it, waits for its window and for the
# welcome page's "立即安装" (page (350, 286)) to be drawn.
start_wizard() {
  run "$1" >"$out/log.txt" 2>&1 &
  pid=$!
  local geometry= i
  for i in $(seq 1 150); do
    win=$(xdotool search --onlyvisible --name '^Velkaro$' 2>/dev/null | head -1)
    [ -n "$win" ] && geometry=$(xdotool getwindowgeometry --shell "$win" 2>/dev/null) && break
    sleep 0.1
  done
  [ -n "$win" ] && [ -n "$geometry" ] || fail "the wizard did not appear"
  eval "$geometry"
  [ "$WIDTH" = 732 ] && [ "$HEIGHT" = 452 ] || fail "the wizard is ${WIDTH}x$HEIGHT, not 732x452"
  until_true 50 is_blue "$(page_x 350)" "$(page_y 286)" || fail "the welcome page's install button is not shown"
}

# wait_exit <tenths>: waits for the wizard's process to end; sets rc.
rc=
wait_exit() {
  local i
  rc=
  for i in $(seq 1 "$1"); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; rc=$?; pid=; return 0; }
    sleep 0.1
  done
  return 1
}
