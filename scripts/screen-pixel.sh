# Sourced by scripts that watch the installer on screen:
#   pixel X Y     the colour of one screen pixel as "r g b"
#   is_blue X Y   true where the skin's blue (buttons, bar) shows
#   find_window PATTERN TENTHS
#                 waits for a visible window with that title; sets win and its
#                 X, Y, WIDTH and HEIGHT; false when none came
# The build's pixel reader (set XPIXEL to its path) reads just that pixel in a
# few milliseconds; without it, ImageMagick grabs the screen, a tenth of a
# second or more per look.
pixel() {
  if [ -n "${XPIXEL:-}" ] && [ -x "$XPIXEL" ]; then "$XPIXEL" "$1" "$2" 2>/dev/null; return 0; fi
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | head -1
}
is_blue() { local r g b; read -r r g b <<<"$(pixel "$1" "$2")"; [ -n "${b:-}" ] && [ "$b" -gt 200 ] && [ "$r" -lt 150 ]; }

find_window() {
  local geometry= i
  win=
  for i in $(seq 1 "$2"); do
    win=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$win" ] && geometry=$(xdotool getwindowgeometry --shell "$win" 2>/dev/null) && break
    sleep 0.1
  done
  [ -n "$win" ] && [ -n "$geometry" ] || return 1
  eval "$geometry"
}
