#!/usr/bin/env bash
# The desktop link and the start-menu group as an independent reader sees
# them: made through the probe exactly as the installer's pages make them,
# then read with Debian's lnkinfo (liblnk-utils).
set -uo pipefail
run() { "$VELKARO_SOURCE/scripts/wine-run" --root="$VELKARO_WINE_ROOT" "$@"; }
probe() { run "$VELKARO_BIN/kecommon_probe.exe" "$@" | tr -d '\r'; }
unix_path() { run winepath -u "$1" 2>/dev/null | tr -d '\r'; }

fails=0
check() {
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fails=$((fails + 1)); fi
}
value_of() { sed -n "s/^$1=//p" <<<"$2" | head -1; }
# One field of lnkinfo's "Link information" block.
lnk_field() { lnkinfo "$1" 2>/dev/null | sed -n "s/^\t$2\t*: //p" | head -1; }

command -v lnkinfo >/dev/null || { echo "lnkinfo is missing (package liblnk-utils)"; exit 1; }

# A product folder of this test's own, with spaces (so the icon has a short
# form) and the two programs in it.
folder='C:\Program Files (x86)\Velkaro Link Test\Norvantix'
host_folder=$(unix_path "$folder")
mkdir -p "$host_folder"
printf 'MZ' >"$host_folder/DUDavov.exe"
printf 'MZ' >"$host_folder/DEZeRodurav.exe"
description="位置: Velkaro($folder)"
short_exe=$(value_of short "$(probe shortpath "$folder\\DUDavov.exe")")
short_uninstaller=$(value_of short "$(probe shortpath "$folder\\DEZeRodurav.exe")")
[ "$short_exe" != "$folder\\DUDavov.exe" ] || { echo "FAIL no short form to test with"; fails=$((fails + 1)); }

# --- desktop link
out=$(probe desktop-link "$folder")
check "desktop link saved" 1 "$(value_of ok "$out")"
check "creation result traced on standard output" 0 "$(head -1 <<<"$out")"
desktop_link=$(value_of link "$out")
check "desktop link name" 'Velkaro.lnk' "${desktop_link##*\\}"
host_link=$(unix_path "$desktop_link")
check "desktop target" "$folder\\DUDavov.exe" "$(lnk_field "$host_link" 'Local path')"
check "desktop working directory" "$folder" "$(lnk_field "$host_link" 'Working directory')"
check "desktop description" "$description" "$(lnk_field "$host_link" 'Description')"
check "desktop icon location (short form)" "$short_exe" "$(lnk_field "$host_link" 'Icon location')"
check "desktop icon index" 0 "$(lnk_field "$host_link" 'Icon index')"

# --- start-menu group: first for a folder that does not exist (its icon
# paths have no short form), then again for the real one over it.
missing='C:\No Such Place\Norvantix'
group=$(value_of group "$(probe startmenu "$missing")")
check "group folder" 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Velkaro' "$group"
host_group=$(unix_path "$group")
check "icon without a short form keeps its long form" "$missing\\DUDavov.exe" \
  "$(lnk_field "$host_group/Velkaro.lnk" 'Icon location')"
inode_before=$(stat -c %i "$host_group")

probe startmenu "$folder" >/dev/null
check "group folder kept, not made again" "$inode_before" "$(stat -c %i "$host_group")"
check "only the two links in the group" "Velkaro.lnk 卸载Velkaro.lnk" "$(cd "$host_group" && ls | LC_ALL=C sort | xargs)"
product_link="$host_group/Velkaro.lnk"
uninstall_link="$host_group/卸载Velkaro.lnk"
check "product target (overwritten)" "$folder\\DUDavov.exe" "$(lnk_field "$product_link" 'Local path')"
check "product working directory" "$folder" "$(lnk_field "$product_link" 'Working directory')"
check "product description" "$description" "$(lnk_field "$product_link" 'Description')"
check "product icon location" "$short_exe" "$(lnk_field "$product_link" 'Icon location')"
check "uninstaller target" "$folder\\DEZeRodurav.exe" "$(lnk_field "$uninstall_link" 'Local path')"
check "uninstaller working directory" "$folder" "$(lnk_field "$uninstall_link" 'Working directory')"
check "uninstaller description" "$description" "$(lnk_field "$uninstall_link" 'Description')"
check "uninstaller icon location" "$short_uninstaller" "$(lnk_field "$uninstall_link" 'Icon location')"
check "uninstaller icon index" 0 "$(lnk_field "$uninstall_link" 'Icon index')"

# Leave nothing that points into this test's folder.
rm -f "$host_link" "$product_link" "$uninstall_link"
rmdir "$host_group" 2>/dev/null
rm -rf "$(dirname "$host_folder")"

echo "$fails failure(s)"
[ "$fails" -eq 0 ]
