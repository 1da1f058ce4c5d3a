#!/usr/bin/env bash
# The close button "×" on each page of the wizard, driven with the real
# pointer: the question box comes up over the dimmed page; "取消" leaves the
# wizard as it was; "确定" ends it with exit code 0 and nothing installed.
# On the completion page the installation is registered whatever the answer.
# The progress page runs on a payload large enough to still be unpacking
# while the box is up. Screenshots go to <build>/wizard-close.
#   wizard-close.sh <KeInstall.exe> <build dir>
set -uo pipefail
exe=$1
build=$2
out=$build/wizard-close
. "$(dirname "$0")/e2e-lib.sh"

product=$(product_dir "$exe")
# A point of every page that the box never covers.
probe_x=20 probe_y=200

# ask_and_keep <what> <page test...>: "×", then "取消": the page test still
# holds, no longer dimmed.
ask_and_keep() {
  local what=$1
  shift
  probe_page $probe_x $probe_y
  click_page $close_x $close_y
  expect_confirmation $probe_x $probe_y "$what"
  shot "$what-box"
  click_box $box_cancel_x $box_cancel_y
  until_true 30 no_box || fail "$what: \"取消\" left the box up"
  until_true 30 undimmed $probe_x $probe_y || fail "$what: the page stays dimmed after \"取消\""
  kill -0 "$pid" 2>/dev/null || fail "$what: \"取消\" ended the wizard"
  until_true 30 "$@" || fail "$what: another page is shown after \"取消\""
  ok "$what: \"取消\" keeps the wizard on the same page"
}
on_welcome() { is_blue "$(page_x 350)" "$(page_y 286)"; }
on_options() { is_blue "$(page_x 350)" "$(page_y 220)"; }
# The progress page: its label under the bar, no install button.
on_progress() { ! on_welcome && [ "$(dark_pixels "$(page_x 56)" "$(page_y 369)" 90 17)" -gt 20 ]; }
# ask_and_close <what>: "×", then "确定": exit code 0.
ask_and_close() {
  probe_page $probe_x $probe_y
  click_page $close_x $close_y
  expect_confirmation $probe_x $probe_y "$1"
  click_box $box_ok_x $box_ok_y
  wait_exit 100 || fail "$1: \"确定\" did not end the wizard"
  [ "$rc" = 0 ] || fail "$1: exit code $rc"
}
nothing_installed() {
  entry_registered && fail "$1: the uninstall entry was written"
  [ -z "$(files_in "$product")" ] || fail "$1: files left in the product folder: $(files_in "$product" | head -3)"
  ok "$1: \"确定\" ends the wizard (exit code 0), nothing installed"
}

# ---- welcome page
clean_machine
start_wizard "$exe"
ask_and_keep welcome on_welcome
ask_and_close welcome
nothing_installed welcome

# ---- options page ("自定义安装>" in the footer; "立即安装" at (350, 220))
clean_machine
start_wizard "$exe"
click_page 629 386
until_true 50 is_blue "$(page_x 350)" "$(page_y 220)" || fail "the options page did not come"
ask_and_keep options on_options
ask_and_close options
nothing_installed options

# ---- progress page, on a payload that takes seconds to unpack
large=$(large_payload "$build")
[ -f "$large" ] || fail "cannot make the large payload"
stage_installer "$out/stage" "$exe" "$large"
clean_machine
start_wizard "$out/stage/KeInstall.exe"
click_page 350 286
until_true 50 eval '! is_blue "$(page_x 350)" "$(page_y 286)"' || fail "the progress page did not come"
until_true 100 eval '[ -n "$(files_in "$product")" ]' || fail "nothing is being unpacked"
ask_and_keep progress on_progress
is_blue "$(page_x 350)" "$(page_y 224)" && fail "the large payload was unpacked before the box was answered"
ask_and_close progress
nothing_installed progress

# ---- completion page: closing registers the installation, both ways
for answer in 取消 确定; do
  clean_machine
  start_wizard "$exe"
  click_page 350 286
  until_true 300 is_blue "$(page_x 350)" "$(page_y 224)" || fail "the completion page did not come"
  probe_page $probe_x $probe_y
  click_page $close_x $close_y
  expect_confirmation $probe_x $probe_y "completion"
  if [ "$answer" = 取消 ]; then click_box $box_cancel_x $box_cancel_y; else click_box $box_ok_x $box_ok_y; fi
  wait_exit 100 || fail "completion: \"$answer\" did not end the wizard"
  [ "$rc" = 0 ] || fail "completion: exit code $rc"
  entry_registered || fail "completion: \"$answer\" closed without registering"
  [ -f "$product/DUDavov.exe" ] || fail "completion: the product is gone"
  ok "completion: \"$answer\" closes the wizard and registers the installation"
done
echo "wizard close: $passed passed, 0 failed"
