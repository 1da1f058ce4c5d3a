#!/usr/bin/env bash
# Clicks the real X pointer where the message-box test asks: runs the test
# program's pointer case and performs each "click x y" it writes into the
# handshake file, removing the file once done. The program judges the outcome.
#   box-pointer.sh <runner and its options...> <program.exe>
set -u
program=${!#}
runner=("${@:1:$#-1}")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
command -v xdotool >/dev/null || { echo "box-pointer: xdotool missing" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "box-pointer: no X display" >&2; exit 1; }
export VELKARO_BOX_HANDSHAKE="Z:${dir//\//\\}\\request.txt"
"${runner[@]}" "$program" --gtest_filter='MessageBoxes.BoxPointer*' >"$dir/log" 2>&1 &
pid=$!

num='^-?[0-9]+$'
while kill -0 "$pid" 2>/dev/null; do
  if [ -f "$dir/request.txt" ]; then
    read -r action x y < <(tr -d '\r' <"$dir/request.txt")
    if [ "$action" = click ] && [[ $x =~ $num && $y =~ $num ]]; then
      xdotool mousemove "$x" "$y"; sleep 0.3
      xdotool click 1; sleep 0.2
    else
      echo "box-pointer: refused request '$action $x $y'" >&2
    fi
    rm -f "$dir/request.txt"
  fi
  sleep 0.05
done
wait "$pid"
rc=$?
tr -d '\r' <"$dir/log"
# A run that skipped the case proves nothing.
grep -q '^\[  PASSED  \] 1 test' <(tr -d '\r' <"$dir/log") || rc=1
exit $rc
