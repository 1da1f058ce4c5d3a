#!/usr/bin/env bash
# The installer as a person uses it: KeInstall.exe from the build's bin folder
# (ke.7z and 7zCore.dll beside it), "立即安装" clicked with the real pointer, the
# completion page awaited, "立即体验" clicked. Then: exit code 0, the payload in
# the product folder byte for byte, the uninstall entry, the three links, and
# the product started once. On the screen: the window's size, its transparent
# corners and the progress bar filling. Screenshots go to <build>/wizard-e2e.
# The entry, the links and the product are left for the tests that read them.
#   wizard-e2e.sh <KeInstall.exe> <build dir>
set -uo pipefail
exe=$1
out=$2/wizard-e2e
stage=$2/payload/stage
. "$(dirname "$0")/e2e-lib.sh"

close_velkaro_windows
clean_machine
started=$(date +%s)

start_wizard "$exe"
ok "the wizard is 732x452"
shot welcome

# The corners of the window are the shadow margin's rounded outside: the
# desktop must show through them. The desktop is sampled just outside the
# window, beside each corner.
corner() {  # corner <name> <x> <y> <desktop x> <desktop y>
  expect "$1 corner shows the desktop" "$(pixel "$4" "$5")" "$(pixel "$2" "$3")"
}
right=$((X + WIDTH - 1)) bottom=$((Y + HEIGHT - 1))
corner "top-left" "$X" "$Y" $((X - 2)) "$Y"
corner "top-right" "$right" "$Y" $((right + 2)) "$Y"
corner "bottom-left" "$X" "$bottom" $((X - 2)) "$bottom"
corner "bottom-right" "$right" "$bottom" $((right + 2)) "$bottom"
# The page's own rounded corner is cut too: its corner pixel is not the
# page's white, which starts a few pixels in.
read -r r g b <<<"$(pixel "$(page_x 0)" "$(page_y 0)")"
[ "$r" -lt 245 ] || fail "the page's top-left corner is not rounded off ($r $g $b)"
ok "the page's corner is rounded off"

# Frames of the page, grabbed uncompressed: a frame must take well under the
# second that the full bar stays on screen.
grab_page() { import -window root -crop "700x420+$(page_x 0)+$(page_y 0)" +repage "$1" 2>/dev/null; }
# The progress bar (page 55,342 to 649,356) on one row below its gloss, read
# from a saved frame: how many pixels are fill and how many are track.
bar_y=351
bar_state() {
  convert "$1" -crop "594x1+55+$bar_y" -depth 8 txt:- 2>/dev/null |
    sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
    awk '$3 > 190 && $1 < 140 { fill++ } $1 > 215 && $1 < 240 && $3 > 235 { track++ }
         END { print fill + 0, track + 0 }'
}
# "立即体验" drawn in a saved frame: blue at page (350, 224).
completion_in() {
  local r g b
  read -r r g b <<<"$(convert "$1" -crop "1x1+350+224" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | head -1)"
  [ -n "${b:-}" ] && [ "$b" -gt 200 ] && [ "$r" -lt 150 ]
}

# Progress page, then the completion page ("立即体验" at (350, 224)) a second
# after the end. A grabber saves page frames back to back meanwhile (one
# process per frame, so the full bar's one second holds several of them even
# on a busy machine); they are read afterwards, in order, up to the first
# completion frame: every distinct fill width of the bar is kept.
frames=$out/frames
rm -rf "$frames"
mkdir -p "$frames"
(
  n=0
  while :; do
    n=$((n + 1))
    grab_page "$frames/$(printf %05d $n).ppm"
  done
) &
grabber=$!
click_page 350 286
until_true 300 is_blue "$(page_x 350)" "$(page_y 224)"
kill "$grabber" 2>/dev/null
wait "$grabber" 2>/dev/null
# The completion page as it is now: the last frame, after the grabber's.
grab_page "$frames/99999.ppm"
widths=()
completed=
for frame in "$frames"/*.ppm; do
  [ -s "$frame" ] || continue
  if completion_in "$frame"; then
    completed=1
    convert "$frame" "$out/completion.png"
    break
  fi
  read -r fill track <<<"$(bar_state "$frame")"
  if [ $((fill + track)) -ge 580 ]; then
    [ "${#widths[@]}" -eq 0 ] && convert "$frame" "$out/progress.png"
    [ "${#widths[@]}" -gt 0 ] && [ "${widths[-1]}" = "$fill" ] || widths+=("$fill")
  fi
done
frame_count=$(ls "$frames" | wc -l)
rm -rf "$frames"
[ -n "$completed" ] || fail "the completion page did not come"
[ "${#widths[@]}" -gt 0 ] || fail "the progress page was never seen"
echo "     progress bar fill widths seen in $frame_count frames: ${widths[*]}"
# The bar only grows, and ends full (its image is 594 wide; the rounded ends
# are not counted as fill).
previous=-1
for w in "${widths[@]}"; do
  [ "$w" -ge "$previous" ] || fail "the progress bar shrank: ${widths[*]}"
  previous=$w
done
[ "${widths[-1]}" -ge 580 ] || fail "the progress bar did not end full: ${widths[*]}"
if [ "${#widths[@]}" -ge 2 ]; then
  ok "the progress bar grew (${#widths[@]} widths) and ended full"
else
  ok "the progress bar ended full (the extraction was too quick to catch a partial bar)"
fi

click_page 350 224
wait_exit 150 || fail "the wizard did not end"
expect "exit code" 0 "$rc"

product=$(ls -d "$drive"/Program\ Files*/Norvantix/Norvantix 2>/dev/null | head -1)
[ -n "$product" ] || fail "no product folder"
check_payload "$stage" "$product"
# The list of installed files the last step writes.
[ -f "$product/uninstall.lst" ] || fail "uninstall.lst not written into $product"
ok "uninstall.lst written"

folder=$(win_path "$product")
case $folder in 'C:\Program Files'*'\Norvantix\Norvantix') ;; *) fail "product folder is $folder" ;; esac
check_entry "$folder"
check_link "desktop link" "$(desktop_link)" "$folder\\DUDavov.exe" "$folder"
group=$(start_menu_group)
check_link "start-menu link" "$group/Velkaro.lnk" "$folder\\DUDavov.exe" "$folder"
check_link "uninstaller link" "$group/卸载Velkaro.lnk" "$folder\\DEZeRodurav.exe" "$folder"

wait_launch "$started" "$folder\\DUDavov.exe" || fail "the product was not started from $folder"
ok "product started from the product folder"
shot product
close_velkaro_windows || fail "the product's window did not close"
echo "wizard e2e: $passed passed, 0 failed"
