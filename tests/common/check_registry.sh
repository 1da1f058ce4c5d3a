#!/usr/bin/env bash
# The uninstall entry as the system and Wine's own tools see it: written by
# RegisterUninstallEntry (through the probe), read back with KEReg2, with
# `reg query` in the 32-bit view, and listed by Wine's program list.
set -uo pipefail
run() { "$VELKARO_SOURCE/scripts/wine-run" --root="$VELKARO_WINE_ROOT" "$@"; }
probe() { run "$VELKARO_BIN/kecommon_probe.exe" "$@" | tr -d '\r'; }
regq() { run reg "$@" 2>/dev/null | tr -d '\r'; }

. "$VELKARO_SOURCE/scripts/arch.sh"
# The product is 32-bit and writes under WOW64; a 64-bit test build writes the
# native view (machines that cannot run 32-bit programs test that way).
if [ "$(velkaro_arch)" = i686 ]; then
  view=32 other=64 parent='SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'
else
  view=64 other=32 parent='SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
fi

fails=0
check() {  # check <description> <expected> <actual>
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fails=$((fails + 1)); fi
}
value_of() { sed -n "s/^$1=//p" <<<"$2" | head -1; }
reg_value() { sed -n "s/^    $1    REG_SZ    //p" <<<"$2" | head -1; }

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\{9231853D-F1E3-4F7E-BDDF-8D9AF6D07462}'
old='C:\Old Place\Norvantix'
folder='C:\Program Files (x86)\Norvantix\Norvantix'

# A first installation, a value of someone else's, then the second installation.
probe register "$old" >/dev/null
run reg add "$key" /v ForeignValue /d kept /f /reg:$view >/dev/null 2>&1
reg_path=$(value_of key "$(probe register "$folder")")
check "entry key path in the process's own view" \
  "$parent\\{9231853D-F1E3-4F7E-BDDF-8D9AF6D07462}" "$reg_path"

dump=$(probe dump)
declare -A want=(
  [DisplayName]='Velkaro'
  [DisplayIcon]="$folder\\DUDavov.exe"
  [UninstallString]="\"$folder\\DEZeRodurav.exe\""
  [InstallLocation]="$folder"
  [DisplayVersion]='5.3.1.0'
  [Publisher]='Quorlith'
)
query=$(regq query "$key" /reg:$view)
for name in DisplayName DisplayIcon UninstallString InstallLocation DisplayVersion Publisher; do
  check "KEReg2 $name" "${want[$name]}" "$(value_of "$name" "$dump")"
  check "$name ends in exactly one NUL" 1 "$(value_of "$name.nulls" "$dump")"
  # Byte count: the text's UTF-16 units plus the terminator.
  units=$(printf '%s' "${want[$name]}" | iconv -f utf-8 -t utf-16le | wc -c)
  check "$name byte count" $((units + 2)) "$(value_of "$name.bytes" "$dump")"
  check "reg query $name" "${want[$name]}" "$(reg_value "$name" "$query")"
done
# The uninstaller path is quoted: with spaces in the folder, an unquoted
# command line would start C:\Program.exe instead.
check "UninstallString is quoted" '"C:\Program Files (x86)\Norvantix\Norvantix\DEZeRodurav.exe"' \
  "$(reg_value UninstallString "$query")"
check "a value written by someone else stays" kept "$(reg_value ForeignValue "$query")"
check "only the six values and the foreign one" 7 "$(grep -c '    REG_SZ    ' <<<"$query")"

# One view only: nothing in the other one, and no doubled Wow6432Node.
regq query "$key" /reg:$other >/dev/null && { echo "FAIL entry also in the $other-bit view"; fails=$((fails + 1)); }
regq query 'HKLM\Software\Wow6432Node\Wow6432Node' /reg:64 >/dev/null \
  && { echo "FAIL a nested Wow6432Node key exists"; fails=$((fails + 1)); }

list=$(run uninstaller --list 2>/dev/null | tr -d '\r')
check "Wine's program list shows the product" '{9231853D-F1E3-4F7E-BDDF-8D9AF6D07462}|||Velkaro' \
  "$(grep -F '{9231853D-F1E3-4F7E-BDDF-8D9AF6D07462}' <<<"$list")"

echo "$fails failure(s)"
[ "$fails" -eq 0 ]
