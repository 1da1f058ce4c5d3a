#!/usr/bin/env bash
# The licence agreement guards both ways forward: unticking its box greys
# "立即安装" and "自定义安装>" and makes them deaf to clicks (the welcome page
# stays, nothing is installed); ticking it again brings both back, and
# "自定义安装>" then leads to the options page. Screenshots go to
# <build>/wizard-e2e-agreement. Leaves nothing installed.
#   wizard-e2e-agreement.sh <KeInstall.exe> <build dir>
set -uo pipefail
exe=$1
out=$2/wizard-e2e-agreement
. "$(dirname "$0")/e2e-lib.sh"
trap 'close_wizard' EXIT

close_velkaro_windows
clean_machine
product_folders() { ls -d "$drive"/Program\ Files*/Norvantix/Norvantix 2>/dev/null | wc -l; }

start_wizard "$exe"
# Away from every control, so that no button is drawn hot.
xdotool mousemove "$(page_x 100)" "$(page_y 220)"
shot welcome

# The two buttons' text, in page coordinates from the skin: "立即安装" is white
# on blue, "自定义安装>" dark grey (#333333) on the page; disabled, both take
# the window's disabled text colour, #A7A6AA.
white='r > 235 && g > 235 && b > 235'
dark='r < 90 && g < 90 && b < 90'
grey='r >= 150 && r <= 185 && g >= 150 && g <= 185 && b >= 155 && b <= 190'
# Inside the button's rounded face: its corners show the page's white.
install_text() { page_pixels 256 272 444 300 "$1"; }
custom_text() { page_pixels 579 370 680 402 "$1"; }
enabled_look() { [ "$(install_text "$white")" -gt 30 ] && [ "$(custom_text "$dark")" -gt 10 ]; }
disabled_look() {
  [ "$(install_text "$white")" -eq 0 ] && [ "$(install_text "$grey")" -gt 30 ] &&
    [ "$(custom_text "$dark")" -eq 0 ] && [ "$(custom_text "$grey")" -gt 10 ]
}
until_true 30 enabled_look || fail "the buttons do not start enabled ($(install_text "$white") white, $(custom_text "$dark") dark pixels)"
ok "ticked: both buttons drawn enabled"

# The agreement box: footer (0,352) plus its pos 29,27,45,43.
click_page 37 387
until_true 50 disabled_look ||
  fail "unticked, the buttons are not drawn disabled ($(install_text "$white") white, $(install_text "$grey") grey in 立即安装; $(custom_text "$dark") dark, $(custom_text "$grey") grey in 自定义安装>)"
ok "unticked: 立即安装 and 自定义安装> drawn disabled"
page_crop unticked-page 0 0 700 420
shot unticked

# stays <name>: the page keeps the unticked picture for a second and a half,
# looked at again and again (a page change shows within a frame or two).
stays() {
  local until=$(($(date +%s%N) + 1500000000))
  while [ "$(date +%s%N)" -lt "$until" ]; do
    page_crop now 0 0 700 420
    same_picture unticked-page now || { shot "$1"; fail "the page changed after $1"; }
  done
}
click_page 350 286
stays "clicking the disabled 立即安装"
expect "no installation started" 0 "$(product_folders)"
click_page 629 386
stays "clicking the disabled 自定义安装>"
ok "the disabled buttons do nothing: the welcome page stays"

# Ticked again, the pointer back on the box: both enabled again.
click_page 37 387
until_true 50 enabled_look || fail "ticked again, the buttons are not drawn enabled"
ok "ticked again: both buttons drawn enabled"
shot reticked
# And they work: the custom-install link leads to the options page, whose
# "立即安装" is at (350, 220).
click_page 629 386
until_true 50 is_blue "$(page_x 350)" "$(page_y 220)" || fail "自定义安装> did not open the options page"
ok "自定义安装> works again"
shot options

close_wizard || fail "the wizard did not end"
expect "nothing installed" 0 "$(product_folders)"
clean_machine
echo "wizard agreement e2e: $passed passed, 0 failed"
