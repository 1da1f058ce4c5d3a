# Sourced by scripts: a private X display (Xvfb) with a window manager and a
# compositor, so layered windows show their per-pixel alpha and DestroyWindow
# does not stall.
#   xsession_start   sets DISPLAY to a free private display
#   xsession_stop    ends what xsession_start began
XSESSION_PIDS=()

xsession_start() {
  local n
  for n in $(seq 91 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
  done
  Xvfb :$n -screen 0 1280x960x24 -nolisten tcp >/dev/null 2>&1 &
  XSESSION_PIDS+=($!)
  local i
  for i in $(seq 1 100); do
    [ -e /tmp/.X11-unix/X$n ] && break
    sleep 0.05
  done
  export DISPLAY=:$n
  openbox >/dev/null 2>&1 &
  XSESSION_PIDS+=($!)
  xcompmgr >/dev/null 2>&1 &
  XSESSION_PIDS+=($!)
  sleep 0.3
}

xsession_stop() {
  local p
  for p in "${XSESSION_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  XSESSION_PIDS=()
}
