#!/usr/bin/env bash
# Start-up of the window against the least Qt Widgets window that shows a
# Japanese label, on a private Xvfb without a window manager: the best of
# STARTUP_RUNS (7) times from exec to the window being mapped, and the median
# resident memory half a second later. Runs of the two alternate, so that
# load from elsewhere falls on both alike. Release build, build/release/;
# STARTUP_WINDOW=PATH measures another build of the window instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh window startup
cmake --preset release -DKARUNEO_BUILD_WINDOW=ON > /dev/null
cmake --build --preset release -j 2 --target karuneo startup-reference startup-timer > /dev/null
bin=build/release/bin
runs="${STARTUP_RUNS:-7}"
# Another build of the window may be measured in its place.
window="${STARTUP_WINDOW:-$bin/karuneo}"

number=90
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
  number=$((number + 1))
done
scratch=$(mktemp -d)
Xvfb ":$number" -screen 0 1920x1080x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2> /dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X$number" ] && break
  sleep 0.1
done
# Both start with the same fresh home: no settings, caches of their own.
mkdir -m 700 "$scratch/runtime"
export DISPLAY=":$number" HOME="$scratch" XDG_CONFIG_HOME="$scratch/.config"
export XDG_RUNTIME_DIR="$scratch/runtime"
unset XDG_CACHE_HOME QT_QPA_PLATFORM

for _ in $(seq "$runs"); do
  "$bin/startup-timer" 1 "$bin/startup-reference" >> "$scratch/reference"
  "$bin/startup-timer" 1 "$window" >> "$scratch/karuneo"
done

best() { sort -n -k1,1 "$1" | head -n 1 | cut -d' ' -f1; }
median_kib() { cut -d' ' -f2 "$1" | sort -n | sed -n "$(((runs + 1) / 2))p"; }
ref_ms=$(best "$scratch/reference")
win_ms=$(best "$scratch/karuneo")
ref_kib=$(median_kib "$scratch/reference")
win_kib=$(median_kib "$scratch/karuneo")
printf '%-20s %12s %14s\n' program "exec→map ms" "resident KiB"
printf '%-20s %12s %14s\n' "least Qt window" "$ref_ms" "$ref_kib"
printf '%-20s %12s %14s\n' karuneo "$win_ms" "$win_kib"
awk -v a="$win_ms" -v b="$ref_ms" -v c="$win_kib" -v d="$ref_kib" \
  'BEGIN { printf "%-20s %12.2f %14.2f\n", "ratio", a / b, c / d }'
