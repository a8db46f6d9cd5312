#!/usr/bin/env bash
# The window against karuneo-cli on the same trees (release build,
# build/release/): 200 000 entries in one folder, and 2 000 folders D/A/B/f
# handed over at once. Prints wall and CPU time of both, their ratios, and
# the longest time the window's thread went without taking events. Runs the
# window on a private Xvfb, or on Qt's offscreen platform without one.
# WINDOW_BENCH_ARGS passes more options (--entries N --folders M --reps K
# --dir SCRATCH).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset release > /dev/null
cmake --build --preset release -j 2 --target karuneo-window-bench karuneo-cli > /dev/null
bin=build/release/bin

scratch=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2> /dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
if command -v Xvfb > /dev/null; then
  number=90
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
    number=$((number + 1))
  done
  Xvfb ":$number" -screen 0 1920x1080x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.1
  done
  export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
else
  export QT_QPA_PLATFORM=offscreen
fi
mkdir -m 700 "$scratch/runtime"
export HOME="$scratch" XDG_CONFIG_HOME="$scratch/.config" XDG_RUNTIME_DIR="$scratch/runtime"

# shellcheck disable=SC2086
"$bin/karuneo-window-bench" --cli "$bin/karuneo-cli" ${WINDOW_BENCH_ARGS:-}
