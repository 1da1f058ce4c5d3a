#!/usr/bin/env bash
# Makes the archives the skin tests read back: real zips written by Debian's Info-ZIP
# `zip` and by 7-Zip, over a tree of known files. Output: $1 (default
# $VELKARO_TESTDATA)/skin/ with
#   tree/    the files that were zipped
#   expect/  what extracting any of the archives must give (hostile names made safe)
#   *.zip    the archives
set -euo pipefail
out=${1:-${VELKARO_TESTDATA:?VELKARO_TESTDATA is not set}}/skin
command -v zip >/dev/null || { echo "make-fixtures: 'zip' is missing (scripts/setup.sh installs it)" >&2; exit 1; }
sevenzip=$(command -v 7z || command -v 7zz || true)
[ -n "$sevenzip" ] || { echo "make-fixtures: neither 7z nor 7zz is installed" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out/tree" "$out/hostile"
cd "$out/tree"

printf 'Hello, skin!\n' >hello.txt
: >empty.txt
mkdir -p Images layout data emptydir
head -c 5000 /dev/urandom >Images/BTN.png
{
  echo '<?xml version="1.0" encoding="utf-8"?>'
  echo '<Window size="640,480" caption="0,0,0,36">'
  for i in $(seq 1 400); do
    echo "  <Button name=\"btn$i\" text=\"Button $i &amp; more\" pos=\"$i,$i,$((i + 80)),$((i + 30))\"/>"
  done
  echo '</Window>'
} >layout/main.xml
printf '<Label text="日本語 ünïcödé"/>\n' >'layout/日本語.xml'
head -c 70000 /dev/urandom >data/random.bin
# Half text, half noise: deflate blocks of both kinds in one item.
{ seq 1 20000; head -c 30000 /dev/urandom; } >data/mixed.bin
printf 'read only\n' >readonly.txt

# Even seconds, so the 2-second DOS time holds them exactly.
find . -exec touch -h -d '2021-03-04 05:06:08 UTC' {} +
chmod 0444 readonly.txt

# Names that try to leave the target folder. On this side they are plain file
# names with backslashes in them; inside the zip they are Windows paths.
printf 'climbed\n' >"$out/hostile/..\\evil.txt"
printf 'drive\n' >"$out/hostile/C:\\drive.txt"
printf 'nested climb\n' >"$out/hostile/a\\..\\..\\nested.txt"

mkdir -p "$out/expect"
cp -a . "$out/expect/"
printf 'climbed\n' >"$out/expect/evil.txt"
printf 'drive\n' >"$out/expect/drive.txt"
printf 'nested climb\n' >"$out/expect/nested.txt"

items=(hello.txt empty.txt readonly.txt Images layout data emptydir)
zip -q -X -0 -r ../stored.zip "${items[@]}"
zip -q -9 -r ../deflated.zip "${items[@]}"
zip -q -r -P 'Secret pass' ../password.zip "${items[@]}"
"$sevenzip" a -bd -bso0 -tzip ../seven.zip "${items[@]}"
"$sevenzip" a -bd -bso0 -tzip -mx0 ../seven-stored.zip "${items[@]}"
"$sevenzip" a -bd -bso0 -tzip -mem=ZipCrypto '-pSecret pass' ../seven-password.zip "${items[@]}"
(cd "$out/hostile" && zip -q ../hostile.zip '..\evil.txt' 'C:\drive.txt' 'a\..\..\nested.txt')
echo "make-fixtures: archives in $out"
