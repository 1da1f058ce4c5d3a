#!/usr/bin/env bash
# Drives the real X pointer and keyboard for WindowPointerTest: runs the test
# program and performs each request it writes (one action a line), removing the
# request file once done. The test program judges what happened; its status is ours.
#   window-pointer.sh <runner and its options...> <program.exe>
set -u
program=${!#}
runner=("${@:1:$#-1}")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
command -v xdotool >/dev/null || { echo "window-pointer: xdotool missing" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "window-pointer: no X display" >&2; exit 1; }
export VELKARO_WINDOW_HANDSHAKE="Z:${dir//\//\\}\\request.txt"
"${runner[@]}" "$program" --gtest_filter='WindowPointer.*' >"$dir/log" 2>&1 &
pid=$!

# Only whole numbers and known key names reach xdotool.
num='^-?[0-9]+$'
perform() {
  local action=$1 a=${2:-} b=${3:-} c=${4:-} d=${5:-}
  case "$action" in
    drag)
      [[ $a =~ $num && $b =~ $num && $c =~ $num && $d =~ $num ]] || return 1
      xdotool mousemove "$a" "$b"; sleep 0.3
      xdotool mousedown 1; sleep 0.3
      for step in 1 2 3 4; do
        xdotool mousemove $((a + c * step / 4)) $((b + d * step / 4)); sleep 0.1
      done
      sleep 0.3
      xdotool mouseup 1; sleep 0.2 ;;
    click)
      [[ $a =~ $num && $b =~ $num ]] || return 1
      xdotool mousemove "$a" "$b"; sleep 0.3
      xdotool click 1; sleep 0.2 ;;
    key)
      [[ $a =~ ^(Escape|Return|Tab)$ ]] || return 1
      xdotool key "$a"; sleep 0.2 ;;
    *) return 1 ;;
  esac
}

while kill -0 "$pid" 2>/dev/null; do
  if [ -f "$dir/request.txt" ]; then
    while read -r line; do
      # shellcheck disable=SC2086
      perform $line || echo "window-pointer: refused request '$line'" >&2
    done < <(tr -d '\r' <"$dir/request.txt")
    rm -f "$dir/request.txt"
  fi
  sleep 0.05
done
wait "$pid"
rc=$?
tr -d '\r' <"$dir/log"
exit $rc
