# Sourced: starts a private Xvfb when there is no display (or when QUADRIVO_XVFB=1), and the
# project's wineserver, and stops exactly those again on exit. Sets DISPLAY and WINEPREFIX (and
# what scripts/wine-env.sh sets).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
quadrivo_xvfb_pid=

quadrivo_stop_headless() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$quadrivo_xvfb_pid" ]; then
    kill "$quadrivo_xvfb_pid" 2>/dev/null || true
    wait "$quadrivo_xvfb_pid" 2>/dev/null || true
  fi
}

quadrivo_start_headless() {
  if [ -z "${DISPLAY:-}" ] || [ "${QUADRIVO_XVFB:-0}" = 1 ]; then
    local fd_file
    fd_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
    quadrivo_xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.05; done
    export DISPLAY=":$(head -n1 "$fd_file")"
    rm -f "$fd_file"
  fi
  # Wine's helper processes would otherwise hold ctest's output pipe for seconds after each test.
  wineserver -p >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
