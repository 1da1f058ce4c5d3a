# Sourced by scripts that watch the installer on screen:
#   pixel X Y     the colour of one screen pixel as "r g b"
#   is_blue X Y   true where the skin's blue (buttons, bar) shows
# The build's pixel reader (set XPIXEL to its path) reads just that pixel in a
# few milliseconds; without it, ImageMagick grabs the screen, a tenth of a
# second or more per look.
pixel() {
  if [ -n "${XPIXEL:-}" ] && [ -x "$XPIXEL" ]; then "$XPIXEL" "$1" "$2" 2>/dev/null; return 0; fi
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | head -1
}
is_blue() { local r g b; read -r r g b <<<"$(pixel "$1" "$2")"; [ -n "${b:-}" ] && [ "$b" -gt 200 ] && [ "$r" -lt 150 ]; }
