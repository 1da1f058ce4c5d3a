#!/usr/bin/env bash
# The installer as a person uses it: KeInstall.exe from the build's bin folder
# (ke.7z and 7zCore.dll beside it), "立即安装" clicked with the real pointer, the
# completion page awaited, "立即体验" clicked. Then: exit code 0, the payload in
# the product folder, the uninstall entry, and the product started once.
# Screenshots go to <build>/wizard-e2e.
#   wizard-e2e.sh <KeInstall.exe> <build dir>
set -uo pipefail
exe=$1
out=$2/wizard-e2e
mkdir -p "$out"
rm -f "$out"/*.png "$out"/log.txt
run() { "$VELKARO_SOURCE/scripts/wine-run" --root="$VELKARO_WINE_ROOT" "$@"; }
drive=$VELKARO_WINE_ROOT/prefix/drive_c
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\{9231853D-F1E3-4F7E-BDDF-8D9AF6D07462}'
pid=
fail() {
  echo "FAIL: $*"
  import -window root "$out/failure.png" 2>/dev/null
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}
shot() { import -window root "$out/$1.png" 2>/dev/null; }
# The colour of one screen pixel as "r g b".
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | head -1
}
is_blue() { read -r r g b <<<"$(pixel "$1" "$2")"; [ -n "${b:-}" ] && [ "$b" -gt 200 ] && [ "$r" -lt 150 ]; }

# A clean machine: no product folder, no entry in either registry view.
for view in 32 64; do run reg delete "$key" /f /reg:$view >/dev/null 2>&1; done
rm -rf "$drive"/Program\ Files*/Norvantix/Norvantix
started=$(date +%s)

run "$exe" >"$out/log.txt" 2>&1 &
pid=$!
win=
for _ in $(seq 1 150); do
  win=$(xdotool search --onlyvisible --name '^Velkaro$' 2>/dev/null | head -1)
  [ -n "$win" ] && geometry=$(xdotool getwindowgeometry --shell "$win" 2>/dev/null) && break
  sleep 0.1
done
[ -n "$win" ] || fail "the wizard did not appear"
eval "$geometry"
[ "$WIDTH" = 732 ] && [ "$HEIGHT" = 452 ] || fail "the wizard is ${WIDTH}x$HEIGHT, not 732x452"
# The shadow margin is 16 pixels; the buttons' centres in the skin are
# (350, 286) for "立即安装" and (350, 224) for "立即体验".
for _ in $(seq 1 50); do is_blue $((X + 366)) $((Y + 302)) && break; sleep 0.1; done
is_blue $((X + 366)) $((Y + 302)) || fail "the welcome page's install button is not shown"
shot welcome

xdotool mousemove $((X + 366)) $((Y + 302)); sleep 0.2
xdotool click 1
# Progress page, then the completion page a second after the end.
for _ in $(seq 1 300); do is_blue $((X + 366)) $((Y + 240)) && break; sleep 0.1; done
is_blue $((X + 366)) $((Y + 240)) || fail "the completion page did not come"
shot completion
xdotool mousemove $((X + 366)) $((Y + 240)); sleep 0.2
xdotool click 1

rc=
for _ in $(seq 1 150); do
  kill -0 "$pid" 2>/dev/null || { wait "$pid"; rc=$?; break; }
  sleep 0.1
done
[ -n "$rc" ] || fail "the wizard did not end"
[ "$rc" = 0 ] || fail "exit code $rc"
echo "ok   exit code 0"

product=$(ls -d "$drive"/Program\ Files*/Norvantix/Norvantix 2>/dev/null | head -1)
[ -n "$product" ] || fail "no product folder"
# The payload, and the list of installed files the last step writes.
for f in DUDavov.exe uninstall.lst; do
  [ -f "$product/$f" ] || fail "$f not extracted into $product"
done
echo "ok   payload in $product"

entry=
for view in 32 64; do
  entry=$(run reg query "$key" /v DisplayName /reg:$view 2>/dev/null | tr -d '\r' | grep -a DisplayName) && break
done
[[ "$entry" == *Velkaro* ]] || fail "no uninstall entry"
echo "ok   uninstall entry"

# The product writes one line at each start; it must have started by now.
launched=
for _ in $(seq 1 100); do
  launched=$(find "$VELKARO_WINE_ROOT" -name launch.log -newermt "@$started" 2>/dev/null | head -1)
  [ -n "$launched" ] && break
  sleep 0.1
done
[ -n "$launched" ] || fail "the product was not started"
echo "ok   product started"
shot product
# The product's own window has the same title: close it, as its user would.
for w in $(xdotool search --onlyvisible --name '^Velkaro$' 2>/dev/null); do
  xdotool windowactivate --sync "$w" key alt+F4 2>/dev/null
done
echo "wizard e2e: 4 passed, 0 failed"
