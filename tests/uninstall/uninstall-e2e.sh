#!/usr/bin/env bash
# The uninstaller as people reach it, under Wine with the real pointer:
#  1. install through the wizard (the installer makes the install folder);
#  2. run the entry's "UninstallString" as written and answer "取消": nothing changes;
#  3. add a file of the user's, run it again and answer "确定删除": the files, the
#     links and the entry are gone, the user's file and its folder stay, and so
#     does the temporary copy's absence once it has ended;
#  4. install again and remove through Wine's program list
#     (uninstaller --remove): the install folder goes too, being empty.
# It starts from a clean machine and leaves one: no entry, links or product
# folder. Order against the other users of the machine's entries does not
# matter: the wizard's scenario cleans first, and the registry and link checks
# write the entry and links they read themselves.
# Screenshots go to <build>/uninstall-e2e.
#   uninstall-e2e.sh <KeInstall.exe> <build dir>
set -uo pipefail
exe=$1
out=$2/uninstall-e2e
. "$(dirname "$0")/../wizard/e2e-lib.sh"

guid='{9231853D-F1E3-4F7E-BDDF-8D9AF6D07462}'
box_title='卸载Velkaro'
pass() { ok "$* [$(( $(date +%s) - begin )) s]"; }

# The product the wizard started at its end: closed as its user would, and
# waited for, since a running program's file cannot be deleted.
close_product() {
  until_true 100 eval '! no_window "^Velkaro\$"' || fail "the product's window did not appear"
  until_true 100 close_windows '^Velkaro$' || fail "the product's window did not close"
}
# Asks every visible window of that name to close; true once none is left.
close_windows() {
  local w
  for w in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
    xdotool windowactivate --sync "$w" key alt+F4 2>/dev/null
  done
  sleep 0.3
  no_window "$1"
}
no_window() { [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]; }

# A default installation through the wizard, the product closed again.
install_product() {
  local started
  started=$(date +%s)
  start_wizard "$exe"
  click_page 350 286
  until_true 300 is_blue "$(page_x 350)" "$(page_y 224)" || fail "the completion page did not come"
  click_page 350 224
  wait_exit 150 || fail "the wizard did not end"
  [ "$rc" = 0 ] || fail "the wizard's exit code is $rc"
  local launched=
  for _ in $(seq 1 100); do
    launched=$(find "$VELKARO_WINE_ROOT" -name launch.log -newermt "@$started" 2>/dev/null | head -1)
    [ -n "$launched" ] && break
    sleep 0.1
  done
  [ -n "$launched" ] || fail "the product was not started"
  close_product
  product=$(ls -d "$drive"/Program\ Files*/Norvantix/Norvantix 2>/dev/null | head -1)
  [ -n "$product" ] && [ -f "$product/DEZeRodurav.exe" ] && [ -f "$product/uninstall.lst" ] ||
    fail "no uninstaller or list in the product folder"
  entry_registered || fail "no uninstall entry after the installation"
}

# The uninstall command as the entry holds it.
uninstall_string() {
  local view line
  for view in 64 32; do
    line=$(run reg query "$uninstall_key" /v UninstallString /reg:$view 2>/dev/null | tr -d '\r' |
      sed -n 's/^ *UninstallString *REG_SZ *//p')
    [ -n "$line" ] && { printf '%s\n' "$line"; return 0; }
  done
  return 1
}

# The links the installation made, wherever Wine keeps the desktop and start menu.
links() {
  find "$drive" "$VELKARO_WINE_ROOT/home" \( -name 'Velkaro.lnk' -o -name '卸载Velkaro.lnk' \) 2>/dev/null
}
temp_copies() { find "$drive/users" -iname 'DEZeRodurav-*.exe' 2>/dev/null; }

# The question box: found, drawn, and one of its buttons clicked (box coordinates).
bx= by=
find_box() {
  find_window "^$box_title\$" 150 || fail "the uninstaller's question did not appear"
  [ "$WIDTH" = 417 ] && [ "$HEIGHT" = 212 ] || fail "the question box is ${WIDTH}x$HEIGHT, not 417x212"
  bx=$X by=$Y
  # The main button ("取消") is drawn in the box's blue.
  until_true 50 is_blue $((bx + 345)) $((by + 162)) || fail "the question box's buttons are not drawn"
}
click_box() {
  xdotool mousemove $((bx + $1)) $((by + $2))
  sleep 0.2
  xdotool click 1
}

# Runs the entry's command line exactly as written, from a batch file, in the background.
upid=
start_uninstall_string() {
  local line
  line=$(uninstall_string) || fail "no UninstallString"
  printf '@%s\r\n' "$line" >"$drive/velkaro-uninstall.bat"
  run cmd /c 'C:\velkaro-uninstall.bat' >"$out/uninstall.txt" 2>&1 &
  upid=$!
}
wait_uninstaller() {
  local i
  for i in $(seq 1 "$1"); do kill -0 "$upid" 2>/dev/null || { wait "$upid"; return 0; }; sleep 0.1; done
  return 1
}

# ---- 1. installation, with the install folder made by the installer
begin=$(date +%s)
clean_machine
rm -rf "$drive"/Program\ Files*/Norvantix
install_product
grep -aq '^P .*Norvantix' "$product/uninstall.lst" || fail "the list does not say the install folder was made"
[ "$(links | wc -l)" -ge 3 ] || fail "the installation made $(links | wc -l) links, not 3"
line=$(uninstall_string)
case $line in '"'*'\DEZeRodurav.exe"') ;; *) fail "UninstallString is $line" ;; esac
pass "installed; UninstallString $line"

# ---- 2. cancelled
before=$(cd "$product" && find . | LC_ALL=C sort | md5sum)
start_uninstall_string
find_box
shot question
click_box 345 162
wait_uninstaller 100 || fail "the uninstaller did not end after 取消"
[ "$(cd "$product" && find . | LC_ALL=C sort | md5sum)" = "$before" ] || fail "取消 changed the product folder"
entry_registered || fail "取消 removed the entry"
[ "$(links | wc -l)" -ge 3 ] || fail "取消 removed links"
pass "取消 changes nothing"

# ---- 3. confirmed, with a file of the user's inside the product folder
printf 'mine\r\n' >"$product/我的笔记.txt"
mkdir -p "$product/my clips" && printf 'clip' >"$product/my clips/a.mp4"
start_uninstall_string
find_box
click_box 237 162
wait_uninstaller 100 || fail "the uninstaller did not hand over"
# The temporary copy does the work after the original has ended.
until_true 200 eval '[ ! -e "$product/DUDavov.exe" ] && ! entry_registered' || fail "the copy did not remove the installation"
until_true 100 eval '[ -z "$(temp_copies)" ]' || fail "the temporary copy is still there: $(temp_copies)"
for f in DUDavov.exe DEZeRodurav.exe uninstall.lst; do
  [ ! -e "$product/$f" ] || fail "$f is still in the product folder"
done
[ -f "$product/我的笔记.txt" ] && [ -f "$product/my clips/a.mp4" ] || fail "the user's files were deleted"
[ "$(cd "$product" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ')" = "./my clips ./my clips/a.mp4 ./我的笔记.txt " ] ||
  fail "left in the product folder: $(cd "$product" && find . -mindepth 1 | tr '\n' ' ')"
[ -z "$(links)" ] || fail "links left: $(links)"
run uninstaller --list 2>/dev/null | grep -aq Velkaro && fail "Wine's program list still shows Velkaro"
pass "确定删除 removes files, links and entry; the user's files stay; the copy is gone"

# ---- 4. through Wine's program list, the install folder made by the installer again
rm -rf "$drive"/Program\ Files*/Norvantix
install_product
install_folder=$(dirname "$product")
remove_through_wine() {
  run uninstaller --remove "$guid" >"$out/wine-uninstaller.txt" 2>&1 &
  upid=$!
}
remove_through_wine
if ! find_window "^$box_title\$" 150; then
  # Under a loaded machine Wine's own uninstaller sometimes fails to start
  # the program at all ("ShellExecuteEx failed: Internal error"), before
  # anything of ours runs; the entry it read is the same each time.
  grep -aq "ShellExecuteEx failed" "$out/wine-uninstaller.txt" || fail "the uninstaller's question did not appear"
  echo "note Wine's uninstaller could not start DEZeRodurav.exe: $(tr '\n' ' ' <"$out/wine-uninstaller.txt"); once more"
  wait "$upid"
  remove_through_wine
fi
find_box
click_box 237 162
wait_uninstaller 150 || fail "Wine's uninstaller did not end"
until_true 200 eval '[ ! -e "$install_folder" ] && ! entry_registered' ||
  fail "after uninstaller --remove: entry $(entry_registered && echo kept || echo gone), $(ls -R "$install_folder" 2>&1 | tr '\n' ' ')"
until_true 100 eval '[ -z "$(temp_copies)" ] && [ -z "$(links)" ]' || fail "left behind: $(temp_copies) $(links)"
pass "uninstaller --remove takes everything, the install folder too"

rm -f "$drive/velkaro-uninstall.bat"
echo "uninstall e2e: $passed passed, 0 failed"
