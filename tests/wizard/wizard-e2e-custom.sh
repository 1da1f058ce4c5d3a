#!/usr/bin/env bash
# A custom install folder whose name holds Chinese characters and a space:
# "自定义安装>", "修改", the folder typed into the folder browser and confirmed,
# then "返回" and the welcome page's "立即安装" (the choice must survive the way
# back), the completion page's "立即体验". The payload must land byte for byte
# in <folder>\Norvantix, nothing in Program Files, and the entry, the links and
# the started product must name the chosen folder. Screenshots go to
# <build>/wizard-e2e-custom. Everything it installed is removed at the end.
#   wizard-e2e-custom.sh <KeInstall.exe> <build dir>
set -uo pipefail
exe=$1
out=$2/wizard-e2e-custom
stage=$2/payload/stage
. "$(dirname "$0")/e2e-lib.sh"

chosen='C:\安装 测试'
host_chosen=$drive/安装\ 测试
product_folder="$chosen\\Norvantix"

# What this scenario leaves behind, removed whatever the outcome: the chosen
# folder, the entry and the links that point into it.
cleanup() {
  close_wizard
  close_velkaro_windows
  clean_machine
  rm -rf "$host_chosen" "$(start_menu_group)"
  local link
  link=$(desktop_link)
  [ -n "$link" ] && rm -f "$link"
}
trap cleanup EXIT

close_velkaro_windows
clean_machine
rm -rf "$host_chosen"
# The browser takes a typed folder only when it exists, as a user picks one.
mkdir -p "$host_chosen" || fail "cannot make $host_chosen"
started=$(date +%s)

start_wizard "$exe"
shot welcome
# "自定义安装>": footer (0,352) plus its pos 579,18,680,50.
click_page 629 386
# The options page's "立即安装" at (350, 220).
until_true 50 is_blue "$(page_x 350)" "$(page_y 220)" || fail "自定义安装> did not open the options page"
ok "options page"
shot options

# The path box: "tq_hor_path_root" is 520x40 at (131,78) after the 50+73+8 of
# the row's label; "pathLab" fills it up to "修改" (60x32, 4 from its right).
path_label() { page_crop "$1" 131 78 585 118; }
path_label path-before
folder_browser() { xdotool search --onlyvisible --name '^Browse for Folder$' 2>/dev/null | head -1; }

# choose_folder: "修改", the folder typed into the browser's edit box, Return.
# Keys can be lost under load while Wine resynchronises its keyboard after a
# focus change; the user would see the old folder still shown and try again.
choose_folder() {
  local dialog try DX DY
  click_page 617 98
  until_true 100 eval '[ -n "$(folder_browser)" ]' || fail "修改 did not open the folder browser"
  dialog=$(folder_browser)
  xdotool windowactivate --sync "$dialog" 2>/dev/null
  eval "$(xdotool getwindowgeometry --shell "$dialog" | sed -n 's/^X=/DX=/p; s/^Y=/DY=/p')"
  [ -n "${DX:-}" ] || fail "the folder browser has no geometry"
  # The "Folder:" edit box below the tree, under this prefix's fonts.
  xdotool mousemove $((DX + 190)) $((DY + 241)) click 1
  sleep 0.3
  xdotool key End && xdotool key --delay 20 --repeat 60 BackSpace
  type_text "$chosen"
  shot browser
  xdotool key Return
  until_true 50 eval '[ -z "$(folder_browser)" ]' || fail "the folder browser did not close"
}
# type_text <text>: Chinese characters are not on the test display's keyboard,
# so they go in through the X clipboard and the edit box's paste key.
type_text() {
  printf '%s' "$1" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
  local owner=$!
  sleep 0.2
  xdotool key shift+Insert
  sleep 0.3
  kill "$owner" 2>/dev/null
  wait "$owner" 2>/dev/null
}
chosen_shown() { path_label path-after; ! same_picture path-before path-after; }
for try in 1 2 3; do
  choose_folder
  until_true 20 chosen_shown && break
  echo "     the folder label did not change (try $try)"
done
chosen_shown || fail "the chosen folder is not shown"
ok "the chosen folder is shown"
shot options-chosen

# "返回": in the bar, 100x24 at (22,10).
click_page 72 22
until_true 50 is_blue "$(page_x 350)" "$(page_y 286)" || fail "返回 did not lead back to the welcome page"
ok "back on the welcome page"
click_page 350 286
until_true 300 is_blue "$(page_x 350)" "$(page_y 224)" || fail "the completion page did not come"
shot completion
click_page 350 224
wait_exit 150 || fail "the wizard did not end"
expect "exit code" 0 "$rc"

check_payload "$stage" "$host_chosen/Norvantix"
expect "nothing in Program Files" "" "$(ls -d "$drive"/Program\ Files*/Norvantix/Norvantix 2>/dev/null)"
check_entry "$product_folder"
check_link "desktop link" "$(desktop_link)" "$product_folder\\DUDavov.exe" "$product_folder"
check_link "start-menu link" "$(start_menu_group)/Velkaro.lnk" "$product_folder\\DUDavov.exe" "$product_folder"
wait_launch "$started" "$product_folder\\DUDavov.exe" || fail "the product was not started from $product_folder"
ok "product started from the chosen folder"
shot product

cleanup
trap - EXIT
[ ! -e "$host_chosen" ] && ! entry_registered || fail "the chosen folder or the entry is left behind"
ok "cleaned up"
echo "wizard custom-folder e2e: $passed passed, 0 failed"
