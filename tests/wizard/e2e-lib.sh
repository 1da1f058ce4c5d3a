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

# ---- The close confirmation, failures and large payloads.

# The page's close button "×" (24 x 24 at the right of the 54-pixel bar, 21
# from the edge): the same place on every page.
close_x=667 close_y=23

# The confirmation box: a second visible window titled "Velkaro", 417 x 212
# plus its 16-pixel shadow on every side. Its buttons, in box coordinates:
# "确定" (outlined) and "取消" (blue). The wizard is told apart by its place
# and size: Wine may have replaced its X window since start_wizard saw it.
box= BX= BY= BW= BH=
box_ok_x=260 box_ok_y=180 box_cancel_x=364 box_cancel_y=180
find_box() {
  local w geometry wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT X Y WIDTH HEIGHT
  box=
  for w in $(xdotool search --onlyvisible --name '^Velkaro$' 2>/dev/null); do
    geometry=$(xdotool getwindowgeometry --shell "$w" 2>/dev/null) || continue
    eval "$geometry"
    [ "$X,$Y,$WIDTH,$HEIGHT" = "$wx,$wy,$ww,$wh" ] && continue
    box=$w BX=$X BY=$Y BW=$WIDTH BH=$HEIGHT
    return 0
  done
  return 1
}
no_box() { ! find_box; }
# True once the box is up and its blue "取消" is drawn (left of the text).
box_shown() { find_box && is_blue $((BX + box_cancel_x - 34)) $((BY + box_cancel_y)); }
click_box() {
  xdotool mousemove $((BX + $1)) $((BY + $2))
  sleep 0.2
  xdotool click 1
}
# dark_pixels <x> <y> <w> <h>: how many screen pixels of the rectangle are
# text-dark (every channel below 130).
dark_pixels() {
  import -window root -crop "$3x$4+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
    awk '$1 < 130 && $2 < 130 && $3 < 130 { n++ } END { print n + 0 }'
}
# page_region <x> <y> <w> <h>: a fingerprint of a rectangle of the page.
page_region() {
  import -window root -crop "$3x$4+$(page_x "$1")+$(page_y "$2")" -depth 8 rgb:- 2>/dev/null | md5sum | cut -c1-32
}
# darker <before "r g b"> <after "r g b">: every channel lost at least a tenth.
darker() {
  local r0 g0 b0 r1 g1 b1
  read -r r0 g0 b0 <<<"$1"
  read -r r1 g1 b1 <<<"$2"
  [ -n "${b1:-}" ] && [ $((r1 * 10)) -le $((r0 * 9)) ] && [ $((g1 * 10)) -le $((g0 * 9)) ] &&
    [ $((b1 * 10)) -le $((b0 * 9)) ]
}
# same_colour <"r g b"> <"r g b">: equal within 6 per channel.
same_colour() {
  local r0 g0 b0 r1 g1 b1
  read -r r0 g0 b0 <<<"$1"
  read -r r1 g1 b1 <<<"$2"
  [ -n "${b1:-}" ] && [ $(((r1 - r0) ** 2)) -le 36 ] && [ $(((g1 - g0) ** 2)) -le 36 ] && [ $(((b1 - b0) ** 2)) -le 36 ]
}

# expect_confirmation <probe x> <probe y> <what>: after a click on "×", the box
# must come up over the page dimmed at the probe point (page coordinates,
# outside the box), with both buttons drawn. Sets lit to the undimmed colour.
lit=
expect_confirmation() {
  local dim
  until_true 50 box_shown || fail "$3: no confirmation box"
  [ "$BW" = 449 ] && [ "$BH" = 244 ] || fail "$3: the box is ${BW}x$BH, not 449x244"
  [ "$(dark_pixels $((BX + box_ok_x - 30)) $((BY + box_ok_y - 10)) 60 20)" -gt 5 ] ||
    fail "$3: the box's \"确定\" is not drawn"
  dim=$(pixel "$(page_x "$1")" "$(page_y "$2")")
  darker "$lit" "$dim" || fail "$3: the page is not dimmed under the box ($lit before, $dim now)"
  ok "$3: the box over the dimmed page"
}
# probe_page <x> <y>: remembers the page's colour at a point before the box.
probe_page() { lit=$(pixel "$(page_x "$1")" "$(page_y "$2")"); }
undimmed() { same_colour "$lit" "$(pixel "$(page_x "$1")" "$(page_y "$2")")"; }

# Where the wizard installs by default: Program Files (the x86 one for a
# 32-bit installer in the 64-bit prefix), then the product word twice.
product_dir() {
  if file -b "$1" | grep -q 'PE32+'; then
    echo "$drive/Program Files/Norvantix/Norvantix"
  else
    echo "$drive/Program Files (x86)/Norvantix/Norvantix"
  fi
}
# The regular files under a folder, one a line, sorted ("" when none).
files_in() { [ -d "$1" ] && (cd "$1" && find . -type f | sort); }

# stage_installer <folder> <KeInstall.exe> <archive>: the installer and its
# library copied into a folder of their own with the given archive as ke.7z.
stage_installer() {
  rm -rf "$1"
  mkdir -p "$1"
  cp "$2" "$(dirname "$2")/7zCore.dll" "$1/" || fail "cannot stage the installer in $1"
  ln -s "$(readlink -f "$3")" "$1/ke.7z"
}

# large_payload <cache folder>: prints the path of an archive whose extraction
# takes several seconds under Wine: base64 text (incompressible enough to keep
# the decoder busy on every byte) in several files, so that a run stopped
# midway has both finished and half-written files. Made once per build folder.
large_payload() {
  local dir
  dir=$(cd "$1" && pwd) || return 1
  local archive=$dir/large-payload-v1.7z src=$dir/large-payload-src tmp=$dir/large-payload.tmp.7z
  if [ ! -f "$archive" ]; then
    rm -rf "$src" "$tmp"
    mkdir -p "$src/media"
    local i
    for i in 1 2 3 4 5 6 7 8; do
      head -c 15M /dev/urandom | base64 -w 100 >"$src/media/clip$i.txt"
    done
    (cd "$src" && 7z a -bd -mx1 -mmt2 "$tmp" . >/dev/null) || return 1
    rm -rf "$src"
    mv "$tmp" "$archive"
  fi
  echo "$archive"
}
