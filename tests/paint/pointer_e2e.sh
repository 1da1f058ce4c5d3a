#!/usr/bin/env bash
# The real pointer over a layered window: hover, press, release outside the button
# (capture), and leave, each exactly once; then a root-window screenshot, taken
# with the compositor running, shows the desktop through the round corner.
#   pointer_e2e.sh <paint_demo.exe> <build dir>
set -uo pipefail
demo=$1
out=$2/paint-e2e
mkdir -p "$out"
rm -f "$out"/quit "$out"/log.txt "$out"/shot.png
fail() {
  echo "FAIL: $*"
  touch "$out/quit"
  wait "${pid:-}" 2>/dev/null
  [ -f "$out/log.txt" ] && sed 's/^/  demo: /' "$out/log.txt"
  exit 1
}
winquit="Z:$(printf '%s' "$out/quit" | tr / '\\')"

"$VELKARO_SOURCE/scripts/wine-run" --root="$VELKARO_WINE_ROOT" "$demo" "$winquit" >"$out/log.txt" 2>&1 &
pid=$!
win=
geometry=
for _ in $(seq 1 150); do
  win=$(xdotool search --onlyvisible --name '^PaintDemo$' 2>/dev/null | head -1)
  if [ -n "$win" ]; then
    geometry=$(xdotool getwindowgeometry --shell "$win" 2>/dev/null) && break
  fi
  sleep 0.1
done
[ -n "$geometry" ] || fail "the demo window did not appear"
eval "$geometry"
sleep 0.5

# The screenshot first, before the pointer changes anything.
import -window root "$out/shot.png" || fail "no screenshot"
px() { convert "$out/shot.png" -format "%[pixel:p{$1,$2}]" info:; }
corner=$(px $((X + 1)) $((Y + 1)))
desktop=$(px $((X - 4)) $((Y - 4)))
inside=$(px $((X + 20)) $((Y + 120)))
echo "corner=$corner desktop=$desktop inside=$inside"
[ "$corner" = "$desktop" ] || fail "round corner shows $corner, the desktop is $desktop"
case "$inside" in
  'srgb(51,102,204)'|'rgb(51,102,204)'|'#3366CC') ;;
  *) fail "inside the window shows $inside, not the root colour" ;;
esac

# Hover, press, move off the button while pressed, release, then leave the window.
xdotool mousemove $((X + 90)) $((Y + 70)); sleep 0.3
xdotool mousemove $((X + 92)) $((Y + 71)); sleep 0.3
xdotool mousedown 1; sleep 0.3
xdotool mousemove $((X + 200)) $((Y + 130)); sleep 0.3
xdotool mouseup 1; sleep 0.3
xdotool mousemove $((X + 201)) $((Y + 131)); sleep 0.3
xdotool mousemove $((X + WIDTH + 150)) $((Y + HEIGHT + 150)); sleep 0.8
touch "$out/quit"
wait "$pid" || fail "the demo failed"

for want in "count btn:enter=1" "count btn:down=1" "count btn:up=1" "count btn:leave=1" "count click=0"; do
  grep -qxF "$want" <(tr -d '\r' <"$out/log.txt") || fail "expected '$want'"
done
# The release came after the pointer left the button and before the leave.
order=$(tr -d '\r' <"$out/log.txt" | grep -E '^ev:btn:(enter|down|up|leave)$' | tr '\n' ' ')
[ "$order" = "ev:btn:enter ev:btn:down ev:btn:up ev:btn:leave " ] || fail "order was: $order"
echo "pointer over the layered window: hover, press, release outside, leave each once; corner transparent"
