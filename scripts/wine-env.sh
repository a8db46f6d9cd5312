# How this project runs Wine, written once: sourced by the scripts that start
# Wine, and by scripts/wine.sh, through which CMake runs the Windows tests.
# The caller sets WINEPREFIX, a prefix of its own: never the user's ~/.wine.
: "${WINEPREFIX:?}"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
# Debian keeps the 64-bit loader out of PATH.
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine

# One wineserver kept alive for a whole run: without it every program waits
# seconds for Wine's services to start and to wind down.
start_wineserver() {
  mkdir -p "$WINEPREFIX"
  wineserver -p < /dev/null > /dev/null 2>&1
}

stop_wineserver() {
  wineserver -k || true
}
