#!/usr/bin/env bash
# The install-folder browser driven as a user would: the probe opens
# BrowseForFolder over a real window, xdotool types a path into the dialog's
# edit box and confirms (or cancels), and the probe prints what came back.
# Typed keys go to Wine's one foreground window, whatever the X display: ctest
# keeps every other test that shows windows away meanwhile (velkaro_display).
set -uo pipefail
[ -n "${DISPLAY:-}" ] || { echo "no X display (DISPLAY is not set)"; exit 1; }
run() { "$VELKARO_SOURCE/scripts/wine-run" --root="$VELKARO_WINE_ROOT" "$@"; }
fails=0
check() {
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fails=$((fails + 1)); fi
}

out=$(mktemp)
shots=$(dirname "$VELKARO_WINE_ROOT")/Testing/common-folder-browser
mkdir -p "$shots"
# The probe reports the dialog's focused control ("focus=") and the edit
# box's text ("edit=") whenever they change; each step waits until the dialog
# shows its effect, however slow Wine is under load.
last_value() { grep "^$1=" "$out" | tail -1 | sed 's/^[^=]*=//' | tr -d '\r'; }
wait_for() {  # wait_for <name> <value> [tenths]: true once the latest report matches
  local i
  for i in $(seq 1 "${3:-150}"); do
    [ "$(last_value "$1")" == "$2" ] && return 0
    sleep 0.1
  done
  echo "the dialog did not show $1=[$2] (last: [$(last_value "$1")])" >&2
  return 1
}

# Under load Wine can drop the first keys of a burst (it resynchronises its
# keyboard state late after a focus change); like a user who sees that, the
# steps below look at the edit box and type again until it holds the text.
clear_edit() {
  local try
  for try in 1 2 3 4 5; do
    xdotool key End && xdotool key --delay 30 --repeat 40 BackSpace
    wait_for edit '' 30 && return 0
  done
  return 1
}
type_edit() {
  local try
  for try in 1 2 3; do
    xdotool type --delay 50 "$1"
    wait_for edit "$1" 50 && return 0
    clear_edit
  done
  return 1
}

# browse <shot name> <initial path> <steps...>: a step is "click-edit",
# "clear", "type:<text>" or an xdotool key name (the last one confirms or
# cancels). Prints the probe's result. Runs in a command substitution: the
# probe is waited for (or ended) here, never left behind.
browse() {
  local shot=$1 initial=$2; shift 2
  : >"$out"
  "$VELKARO_SOURCE/scripts/wine-run" --root="$VELKARO_WINE_ROOT" "$VELKARO_BIN/kecommon_probe.exe" browse "$initial" \
    >"$out" 2>/dev/null &
  local probe_pid=$! i
  # Set up: the dialog has placed its focus.
  for i in $(seq 1 300); do
    grep -q '^focus=' "$out" && break
    sleep 0.1
  done
  local dialog
  dialog=$(xdotool search --onlyvisible --name '^Browse for Folder$' 2>/dev/null | head -1)
  if [ -z "$dialog" ] || ! grep -q '^focus=' "$out"; then
    echo "no folder browser appeared" >&2
    kill "$probe_pid" 2>/dev/null
    wait "$probe_pid" 2>/dev/null
    echo "<no dialog>"
    return
  fi
  xdotool windowactivate --sync "$dialog"
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  local step n=0 try
  for step in "$@"; do
    n=$((n + 1))
    # What the dialog shows before it is confirmed, kept for a failure's report.
    [ "$n" -eq "$#" ] && import -window root "$shots/$shot.png" 2>/dev/null
    case $step in
      # Into the "Folder:" edit box below the tree (the dialog's layout under
      # this prefix's fonts); clicked again if the focus did not move there.
      click-edit)
        for try in 1 2 3; do
          xdotool mousemove $((X + 190)) $((Y + 241)) click 1
          wait_for focus Edit && break
        done ;;
      # Plain keys only: a modifier (ctrl+a) can still be seen as held when
      # the next keys arrive.
      clear) clear_edit ;;
      type:*) type_edit "${step#type:}" ;;
      *) xdotool key "$step" ;;
    esac
  done
  for i in $(seq 1 300); do
    grep -q '^result=' "$out" && break
    sleep 0.1
  done
  grep -q '^result=' "$out" || kill "$probe_pid" 2>/dev/null
  wait "$probe_pid" 2>/dev/null
  sed -n 's/^result=//p' "$out" | tr -d '\r'
}

# Targets with a space, and with Chinese and accented characters.
public=$(run winepath -u 'C:\users\Public' 2>/dev/null | tr -d '\r')
[ -n "$public" ] || { echo "FAIL no folder for the targets"; exit 1; }
mkdir -p "$public/Velkaro Typed" "$public/安装 Café"

# ctrl+a selects what the dialog put into the edit box. Typing stays ASCII: characters off the keyboard map reach
# Wine unreliably through xdotool, so the Chinese folder is the initial one.
check "typed path comes back" 'C:\users\Public\Velkaro Typed' \
  "$(browse typed 'C:\windows' click-edit clear 'type:C:\users\Public\Velkaro Typed' Return)"
check "initial path that does not exist" 'C:\users\Public' \
  "$(browse missing-initial 'C:\does\not\exist' click-edit clear 'type:C:\users\Public' Return)"
check "initial path selected and confirmed" 'C:\users\Public\安装 Café' \
  "$(browse initial 'C:\users\Public\安装 Café' Return)"
check "cancel gives empty text" '' "$(browse cancel 'C:\windows' click-edit clear 'type:C:\users' Escape)"

rm -f "$out"
rmdir "$public/Velkaro Typed" "$public/安装 Café" 2>/dev/null
echo "$fails failure(s)"
[ "$fails" -eq 0 ]
