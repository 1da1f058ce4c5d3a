#!/usr/bin/env bash
# Installations that do not finish. A confirmed close while a large payload
# is being unpacked stops the unpacking at once and takes back every file of
# the run, keeping a file the product folder had before. A damaged ke.7z
# brings the progress page to its failure text: no completion page, no entry,
# no link, and the wizard closes. Screenshots go to <build>/wizard-fail.
#   wizard-fail.sh <KeInstall.exe> <build dir>
set -uo pipefail
exe=$1
build=$2
out=$build/wizard-fail
. "$(dirname "$0")/e2e-lib.sh"

product=$(product_dir "$exe")
probe_x=20 probe_y=200
# The start of the label under the progress bar: "正在安装，…" whatever the
# percentage, the failure's own text once the run has failed.
label() { page_region 56 369 90 17; }
label_ink() { dark_pixels "$(page_x 56)" "$(page_y 369)" 90 17; }
new_links() { find -L "$drive/users" "$drive/ProgramData" -name '*.lnk' -newer "$marker" 2>/dev/null; }
marker=$out/marker.txt

# ---- a confirmed close in the middle of the unpacking
large=$(large_payload "$build")
[ -f "$large" ] || fail "cannot make the large payload"
stage_installer "$out/stage" "$exe" "$large"
clean_machine
mkdir -p "$product"
echo "the user's own notes" >"$product/notes.txt"
touch "$marker"
start_wizard "$out/stage/KeInstall.exe"
click_page 350 286
# One file unpacked whole and the next one under way.
until_true 150 eval '[ "$(files_in "$product" | grep -vc "^./notes.txt$")" -ge 2 ]' ||
  fail "the unpacking did not get going: $(files_in "$product" | tr '\n' ' ')"
running=$(label)
[ "$(label_ink)" -gt 20 ] || fail "no progress text under the bar"
probe_page $probe_x $probe_y
click_page $close_x $close_y
expect_confirmation $probe_x $probe_y "mid-extraction"
shot cancel-box
before=$(files_in "$product" | wc -l)
xdotool mousemove $((BX + box_ok_x)) $((BY + box_ok_y))
sleep 0.2
clicked=$(date +%s%N)
xdotool click 1
wait_exit 100 || fail "\"确定\" did not end the wizard"
took=$((($(date +%s%N) - clicked) / 1000000))
[ "$rc" = 0 ] || fail "exit code $rc"
echo "     the wizard ended ${took} ms after \"确定\" ($((before - 1)) files of the run were there)"
[ "$took" -le 1500 ] || fail "the unpacking went on for $took ms after \"确定\""
ok "a confirmed close stops the unpacking and ends the wizard (exit code 0)"
left=$(files_in "$product")
[ "$left" = "./notes.txt" ] || fail "files of the run left behind: $(echo "$left" | tr '\n' ' ')"
[ "$(cat "$product/notes.txt")" = "the user's own notes" ] || fail "the file that was there before was changed"
entry_registered && fail "a stopped installation wrote the uninstall entry"
[ -z "$(new_links)" ] || fail "a stopped installation made links: $(new_links)"
ok "a stopped installation leaves only what was there before"

# ---- a damaged payload
stage_installer "$out/stage" "$exe" "$(dirname "$exe")/ke.7z"
rm -f "$out/stage/ke.7z"
cp "$(dirname "$exe")/ke.7z" "$out/stage/ke.7z"
size=$(stat -c %s "$out/stage/ke.7z")
head -c 256 /dev/zero | tr '\0' '\377' |
  dd of="$out/stage/ke.7z" bs=1 seek=$((size / 3)) conv=notrunc 2>/dev/null
clean_machine
touch "$marker"
start_wizard "$out/stage/KeInstall.exe"
click_page 350 286
failed() { [ "$(label)" != "$running" ] && [ "$(label_ink)" -gt 20 ]; }
until_true 100 failed || fail "the progress page does not show the failure"
shot failure-text
# It stays so: no completion page follows.
sleep 1.5
failed || fail "the failure text went away"
is_blue "$(page_x 350)" "$(page_y 224)" && fail "a damaged payload reached the completion page"
ok "a damaged payload shows the failure text on the progress page"
entry_registered && fail "a failed installation wrote the uninstall entry"
[ -z "$(new_links)" ] || fail "a failed installation made links: $(new_links)"
[ -z "$(files_in "$product")" ] || fail "a failed installation left files: $(files_in "$product" | head -3)"
ok "a failed installation leaves no entry, no link and no files"
# Nothing is left to interrupt: "×" closes without asking.
click_page $close_x $close_y
wait_exit 100 || fail "the wizard cannot be closed after the failure"
[ "$rc" = 0 ] || fail "exit code $rc after the failure"
ok "the failed wizard closes (exit code 0)"
echo "wizard fail: $passed passed, 0 failed"
