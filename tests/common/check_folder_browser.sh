#!/usr/bin/env bash
# The install-folder browser driven as a user would: the probe opens
# BrowseForFolder over a real window, xdotool types a path into the dialog's
# edit box and confirms (or cancels), and the probe prints what came back.
# Runs on a display of its own, so no other test's window takes the focus.
set -uo pipefail
. "$VELKARO_SOURCE/scripts/xsession.sh"
xsession_start
trap xsession_stop EXIT
run() { "$VELKARO_SOURCE/scripts/wine-run" --root="$VELKARO_WINE_ROOT" "$@"; }
fails=0
check() {
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; fails=$((fails + 1)); fi
}

out=$(mktemp)
shots=$(dirname "$VELKARO_WINE_ROOT")/Testing/common-folder-browser
mkdir -p "$shots"
# browse <shot name> <initial path> <keys...>: each key argument is either
# "type:<text>" or an xdotool key name. Prints the probe's result. (Runs in a
# command substitution: the probe is waited for here, never left behind.)
browse() {
  local shot=$1 initial=$2; shift 2
  : >"$out"
  run "$VELKARO_BIN/kecommon_probe.exe" browse "$initial" >"$out" 2>/dev/null &
  local probe_pid=$!
  local dialog= i
  for i in $(seq 1 100); do
    dialog=$(xdotool search --onlyvisible --name '^Browse for Folder$' 2>/dev/null | head -1)
    [ -n "$dialog" ] && break
    sleep 0.1
  done
  if [ -z "$dialog" ]; then
    echo "no folder browser appeared" >&2
    kill "$probe_pid" 2>/dev/null
    wait "$probe_pid" 2>/dev/null
    echo "<no dialog>"
    return
  fi
  sleep 0.5
  xdotool windowactivate --sync "$dialog"
  local key n=0
  for key in "$@"; do
    n=$((n + 1))
    # What the dialog shows before it is confirmed, kept for a failure's report.
    [ "$n" -eq "$#" ] && import -window root "$shots/$shot.png" 2>/dev/null
    case $key in
      type:*) xdotool type --delay 30 "${key#type:}" ;;
      *) xdotool key "$key" ;;
    esac
    sleep 0.3
  done
  for i in $(seq 1 100); do
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

# Tab moves from the folder tree to the edit box; ctrl+a selects what the
# dialog put there. Typing stays ASCII: characters off the keyboard map reach
# Wine unreliably through xdotool, so the Chinese folder is the initial one.
check "typed path comes back" 'C:\users\Public\Velkaro Typed' \
  "$(browse typed 'C:\windows' Tab ctrl+a 'type:C:\users\Public\Velkaro Typed' Return)"
check "initial path that does not exist" 'C:\users\Public' \
  "$(browse missing-initial 'C:\does\not\exist' Tab ctrl+a 'type:C:\users\Public' Return)"
check "initial path selected and confirmed" 'C:\users\Public\安装 Café' \
  "$(browse initial 'C:\users\Public\安装 Café' Return)"
check "cancel gives empty text" '' "$(browse cancel 'C:\windows' Tab ctrl+a 'type:C:\users' Escape)"

rm -f "$out"
rmdir "$public/Velkaro Typed" "$public/安装 Café" 2>/dev/null
echo "$fails failure(s)"
[ "$fails" -eq 0 ]
