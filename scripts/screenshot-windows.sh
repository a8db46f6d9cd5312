#!/usr/bin/env bash
# Starts build/windows/bin/karuneo.exe under Wine on a virtual X display and
# saves a PNG of its window, so that anyone can look at it without Windows:
#
#   scripts/screenshot-windows.sh [OUT.png [FOLDER...]]
#
# FOLDERs (Linux paths) are handed to karuneo.exe on its command line and
# processed as a drop of them would be, which puts rows in the list; without
# any, nothing is dropped. The window opens at its first-start size: the
# settings are cleared first, in a Wine prefix of its own.
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-build/windows/karuneo-windows.png}")
shift || true
scripts/install-deps.sh windows screenshots
scripts/build-libarchive-mingw.sh > /dev/null
cmake --preset windows > /dev/null
cmake --build --preset windows --target karuneo > /dev/null

export WINEPREFIX="$PWD/build/windows/screenshot-prefix"
. scripts/wine-env.sh

display_file=$(mktemp)
Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4> "$display_file" > /dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$display_file")"
rm -f "$display_file"
start_wineserver
trap 'stop_wineserver; kill "$xvfb" 2>/dev/null || true' EXIT

scripts/wine-prefix.sh
"$wine" reg delete 'HKCU\Software\VB and VBA Program Settings' /f < /dev/null > /dev/null 2>&1 || true

folders=()
for folder in "$@"; do
  folders+=("$("$wine" winepath -w "$(realpath "$folder")" 2> /dev/null)")
done
# A Wine desktop of its own draws the window's caption and frame, which no
# window manager does on a bare X server.
"$wine" explorer /desktop=karuneo,1024x768 build/windows/bin/karuneo.exe "${folders[@]}" \
  < /dev/null > /dev/null 2>&1 &
sleep "${SCREENSHOT_WAIT:-8}"
mkdir -p "$(dirname "$out")"
# The Wine desktop around the window is one colour: trimming it leaves the
# window. A prefix made just now may keep the window from showing for a
# while longer; until it shows, trimming leaves next to nothing.
for _ in $(seq 30); do
  import -display "$DISPLAY" -window root "$out"
  convert "$out" -fuzz 1% -trim +repage "$out" 2> /dev/null
  [ "$(identify -format %w "$out")" -gt 100 ] && break
  sleep 2
done
echo "saved $out"
