#!/usr/bin/env bash
# Renders the icon from app/window/karuneo.svg at the sizes desktops and
# Windows ask for: hicolor PNGs under app/window/icons/ and the multi-size
# app/window/karuneo.ico. The results are checked in, so a build needs
# neither tool; run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh icons

svg=app/window/karuneo.svg
icons=app/window/icons
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

render() { rsvg-convert --width "$1" --height "$1" --keep-aspect-ratio "$svg" --output "$2"; }

for size in 16 24 32 48 64 128 256; do
  mkdir -p "$icons/${size}x${size}"
  render "$size" "$icons/${size}x${size}/karuneo.png"
done

# Windows picks the nearest size for each DPI and view; the 256 one goes in
# as PNG, as Explorer expects, which keeps the file small.
bitmaps=()
for size in 16 20 24 32 40 48 64; do
  render "$size" "$work/$size.png"
  bitmaps+=("$work/$size.png")
done
render 256 "$work/256.png"
icotool --create --output app/window/karuneo.ico "${bitmaps[@]}" --raw "$work/256.png"
