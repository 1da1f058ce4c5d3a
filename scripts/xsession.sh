# Sourced by scripts: a private X display (Xvfb) with a window manager and a
# compositor, so layered windows show their per-pixel alpha and DestroyWindow
# does not stall.
#   xsession_start   sets DISPLAY to a new private display; fails (with what it
#                    saw) when the display, the window manager or the compositor
#                    does not come up
#   xsession_stop    ends what xsession_start began
# VELKARO_SCREEN (WIDTHxHEIGHT, default 1280x960) sizes the screen: the wizard
# at 200 % with its shadow needs more than the default.
XSESSION_PIDS=()
XSESSION_DIR=

# xsession_wait <tenths> <what> <command...>: true once the command succeeds.
xsession_wait() {
  local tenths=$1 what=$2 i
  shift 2
  for i in $(seq 1 "$tenths"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "xsession: $what did not come up within $((tenths / 10)) s" >&2
  return 1
}

xsession_start() {
  XSESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/xsession.XXXXXX")
  # Xvfb picks a free display number itself and writes it once it accepts
  # connections, so two sessions starting at the same moment never share a
  # display (choosing the number here, from the lock files, raced).
  Xvfb -displayfd 5 -screen 0 "${VELKARO_SCREEN:-1280x960}x24" -nolisten tcp 5>"$XSESSION_DIR/display" \
    >"$XSESSION_DIR/xvfb.log" 2>&1 &
  XSESSION_PIDS+=($!)
  local n
  if ! xsession_wait 300 "Xvfb" xsession_display_written; then
    sed 's/^/xsession: Xvfb: /' "$XSESSION_DIR/xvfb.log" >&2
    xsession_stop
    return 1
  fi
  read -r n <"$XSESSION_DIR/display"
  export DISPLAY=:$n
  openbox >/dev/null 2>&1 &
  XSESSION_PIDS+=($!)
  xcompmgr >/dev/null 2>&1 &
  XSESSION_PIDS+=($!)
  # Windows mapped before these are running are neither managed nor composited.
  xsession_wait 300 "the window manager (openbox on $DISPLAY)" xsession_wm_running \
    && xsession_wait 300 "the compositor (xcompmgr on $DISPLAY)" xsession_compositor_running \
    || { xsession_stop; return 1; }
}

# Xvfb writes the number and a line end once it listens.
xsession_display_written() { grep -q '^[0-9][0-9]*$' "$XSESSION_DIR/display"; }
# openbox marks the root window once it manages windows.
xsession_wm_running() { xprop -root -notype _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
# xcompmgr announces itself with a window of its own name.
xsession_compositor_running() { xwininfo -root -children | grep -q '"xcompmgr"'; }

xsession_stop() {
  local p
  for p in "${XSESSION_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${XSESSION_PIDS[@]}"; do wait "$p" 2>/dev/null || true; done
  XSESSION_PIDS=()
  [ -n "$XSESSION_DIR" ] && rm -rf "$XSESSION_DIR"
  XSESSION_DIR=
}
