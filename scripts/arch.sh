# Sourced by scripts: which Windows architecture this machine builds and tests.
# The product is 32-bit (i686) and runs under 32-bit Wine. Some kernels cannot
# execute 32-bit programs at all, so 32-bit Wine cannot start there; such machines
# build the same sources for x86_64 and run them under 64-bit Wine instead.
# VELKARO_ARCH=i686|x86_64 overrides the probe.
velkaro_arch() {
  if [ -n "${VELKARO_ARCH:-}" ]; then echo "$VELKARO_ARCH"; return; fi
  if [ ! -x /usr/lib/wine/wine ] || /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
  else
    echo x86_64
  fi
}
