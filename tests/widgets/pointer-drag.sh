#!/usr/bin/env bash
# Drives the real X pointer for PointerDragTest: starts the test program, waits
# for it to say where the thumb is, then presses there, drags and releases with
# xdotool. The test program judges what happened; its status is ours.
#   pointer-drag.sh <runner and its options...> <program.exe>
set -u
program=${!#}
runner=("${@:1:$#-1}")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
command -v xdotool >/dev/null || { echo "pointer-drag: xdotool missing" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "pointer-drag: no X display" >&2; exit 1; }
export VELKARO_DRAG_HANDSHAKE="Z:${dir//\//\\}\\request.txt"
"${runner[@]}" "$program" --gtest_filter='PointerDrag.*' >"$dir/log" 2>&1 &
pid=$!
for _ in $(seq 1 300); do
  [ -f "$dir/request.txt" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
if [ -f "$dir/request.txt" ]; then
  read -r x y motion < <(tr -d '\r' <"$dir/request.txt")
  xdotool mousemove "$x" "$y"; sleep 0.3
  xdotool mousedown 1; sleep 0.3
  xdotool mousemove "$x" $((y + motion / 2)); sleep 0.1
  xdotool mousemove "$x" $((y + motion)); sleep 0.5
  xdotool mouseup 1
else
  echo "pointer-drag: the test program never asked for the drag" >&2
fi
wait "$pid"
rc=$?
tr -d '\r' <"$dir/log"
exit $rc
