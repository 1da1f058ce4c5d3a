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
# Each check that held, counted for the scenario's closing line.
passed=0
ok() { echo "ok   $*"; passed=$((passed + 1)); }

# pixel, is_blue and find_window; the build's pixel reader sits beside the prefix's folder.
XPIXEL=$(dirname "$VELKARO_WINE_ROOT")/host/xpixel
. "$VELKARO_SOURCE/scripts/screen-pixel.sh"
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
  # Not through run(): a backgrounded function is a subshell, and killing it
  # (fail) would leave the wizard's window behind for the next scenario.
  "$VELKARO_SOURCE/scripts/wine-run" --root="$VELKARO_WINE_ROOT" "$1" >"$out/log.txt" 2>&1 &
  pid=$!
  find_window '^Velkaro$' 150 || fail "the wizard did not appear"
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

# ---- Checks shared by the install, custom-folder and agreement scenarios.

# expect <description> <expected> <actual>: ok, or the scenario fails.
expect() {
  [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"
  ok "$1"
}

# The registry view the installer writes: the product is 32-bit and writes
# under WOW64; a 64-bit test build (machines that cannot run 32-bit programs)
# writes the native view.
reg_view() {
  . "$VELKARO_SOURCE/scripts/arch.sh"
  if [ "$(velkaro_arch)" = i686 ]; then echo 32; else echo 64; fi
}
# The Windows form of a host path, and the host form of a Windows path.
win_path() { run winepath -w "$1" 2>/dev/null | tr -d '\r'; }
host_path() { run winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# entry_values: the uninstall entry's values as "Name=data" lines, data
# unescaped. Read through `reg export`, whose file is UTF-16, so that
# Chinese folder names come through unchanged (reg query prints them in the
# console's code page).
entry_values() {
  local file="$drive/velkaro-entry.reg"
  rm -f "$file"
  run reg export "$uninstall_key" 'C:\velkaro-entry.reg' /reg:"$(reg_view)" /y >/dev/null 2>&1 || return 1
  iconv -f utf-16 -t utf-8 "$file" | tr -d '\r' |
    sed -n 's/^"\([^"]*\)"="\(.*\)"$/\1=\2/p' | sed 's/\\"/"/g; s/\\\\/\\/g'
  rm -f "$file"
}
value_of() { sed -n "s/^$1=//p" <<<"$2" | head -1; }

# check_entry <product folder, Windows form>: the six values, exactly.
check_entry() {
  local values
  values=$(entry_values) || fail "no uninstall entry to read"
  expect "entry DisplayName" 'Velkaro' "$(value_of DisplayName "$values")"
  expect "entry DisplayIcon" "$1\\DUDavov.exe" "$(value_of DisplayIcon "$values")"
  # Quoted: with a space in the folder an unquoted command line starts the wrong program.
  expect "entry UninstallString" "\"$1\\DEZeRodurav.exe\"" "$(value_of UninstallString "$values")"
  expect "entry InstallLocation" "$1" "$(value_of InstallLocation "$values")"
  expect "entry DisplayVersion" '5.3.1.0' "$(value_of DisplayVersion "$values")"
  expect "entry Publisher" 'Quorlith' "$(value_of Publisher "$values")"
  expect "entry holds only the six values" 6 "$(grep -c . <<<"$values")"
}

# check_payload <stage folder> <product folder, host form>: every staged file
# extracted byte for byte, and every staged folder (empty ones too) made.
check_payload() {
  local stage=$1 product=$2 f files=0 folders=0
  [ -d "$stage" ] || fail "no staged payload at $stage"
  while IFS= read -r -d '' f; do
    [ -f "$product/$f" ] || fail "$f not extracted into $product"
    cmp -s "$stage/$f" "$product/$f" || fail "$f differs from the staged file"
    files=$((files + 1))
  done < <(cd "$stage" && find . -type f -print0)
  while IFS= read -r -d '' f; do
    [ -d "$product/$f" ] || fail "folder $f not made in $product"
    folders=$((folders + 1))
  done < <(cd "$stage" && find . -mindepth 1 -type d -print0)
  [ "$files" -gt 0 ] || fail "the staged payload is empty"
  ok "payload: $files files byte for byte, $folders folders, in $product"
}

# One field of lnkinfo's "Link information" block.
lnk_field() { lnkinfo "$1" 2>/dev/null | sed -n "s/^\t$2\t*: //p" | head -1; }

# check_link <description> <link, host form> <target, Windows form> <product folder, Windows form>
check_link() {
  local link=$2 target=$3 folder=$4 icon
  [ -f "$link" ] || fail "$1: no link at $link"
  # Wine's shell-link object stores the target path in the ANSI code page
  # only, so characters outside it read back as "?"; the icon check below
  # resolves the path in full.
  expect "$1 target" "$(LC_ALL=C.UTF-8 sed 's/[^\x01-\x7F]/?/g' <<<"$target")" "$(lnk_field "$link" 'Local path')"
  expect "$1 working directory" "$folder" "$(lnk_field "$link" 'Working directory')"
  expect "$1 description" "位置: Velkaro($folder)" "$(lnk_field "$link" 'Description')"
  # The icon may be held in its short form: it must name the target's file.
  icon=$(lnk_field "$link" 'Icon location')
  local resolved
  resolved=$(run winepath -u "$target" "$icon" 2>/dev/null | tr -d '\r')
  expect "$1 icon names the target" "$(head -1 <<<"$resolved")" "$(sed -n 2p <<<"$resolved")"
  expect "$1 icon index" 0 "$(lnk_field "$link" 'Icon index')"
}
# The user's desktop link and the all-users start-menu group, host form.
# The desktop folder may be a link to the prefix's home: globbed, not found.
desktop_link() {
  local l
  for l in "$drive"/users/*/Desktop/Velkaro.lnk; do
    case $l in */users/Public/*) continue ;; esac
    [ -f "$l" ] && { echo "$l"; return 0; }
  done
}
start_menu_group() { echo "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Velkaro"; }

# count_pixels <x> <y> <w> <h> <awk test on r, g, b> [image]: how many pixels
# of a screen rectangle (or of a saved screenshot) pass the test.
count_pixels() {
  local source=${6:-}
  if [ -n "$source" ]; then
    convert "$source" -crop "$3x$4+$1+$2" -depth 8 txt:- 2>/dev/null
  else
    import -window root -crop "$3x$4+$1+$2" -depth 8 txt:- 2>/dev/null
  fi | sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
    awk "{ r = \$1; g = \$2; b = \$3 } $5 { n++ } END { print n + 0 }"
}
# page_pixels <left> <top> <right> <bottom> <test> [image]: the same for a
# rectangle in page coordinates, as the skin writes them.
page_pixels() { count_pixels "$(page_x "$1")" "$(page_y "$2")" $(($3 - $1)) $(($4 - $2)) "$5" "${6:-}"; }
# page_crop <name> <left> <top> <right> <bottom>: a rectangle of the page saved.
page_crop() {
  import -window root -crop "$(($4 - $2))x$(($5 - $3))+$(page_x "$2")+$(page_y "$3")" +repage "$out/$1.png" 2>/dev/null
}
# same_picture <a> <b>: true when two saved pictures have the same pixels.
same_picture() { [ "$(compare -metric AE "$out/$1.png" "$out/$2.png" null: 2>&1)" = 0 ]; }

# close_wizard: ends the wizard without a question. Its borderless window
# takes no close request from the window manager, and its close button asks
# first; a scenario that is done with it ends its process.
close_wizard() {
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null
  wait_exit 100
}

# The product's own window has the wizard's title. close_velkaro_windows
# closes every such window, as its user would, and waits until none is left,
# so that the next start_wizard finds the wizard and not the product.
velkaro_windows() { xdotool search --onlyvisible --name '^Velkaro$' 2>/dev/null; }
close_velkaro_windows() {
  local w
  for w in $(velkaro_windows); do xdotool windowactivate --sync "$w" key alt+F4 2>/dev/null; done
  until_true 50 eval '[ -z "$(velkaro_windows)" ]'
}
# wait_launch <since, seconds since the epoch> <exe, Windows form>: the product
# writes one line at each start; true once it has started from that path
# since then (its window shown); sets launched to its log.
launched=
wait_launch() {
  local i
  launched=
  for i in $(seq 1 100); do
    launched=$(find "$VELKARO_WINE_ROOT" -name launch.log -newermt "@$1" 2>/dev/null | head -1)
    [ -n "$launched" ] && grep -aqF "started $2" "$launched" && break
    sleep 0.1
  done
  [ -n "$launched" ] && grep -aqF "started $2" "$launched" || return 1
  until_true 50 eval '[ -n "$(velkaro_windows)" ]'
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
