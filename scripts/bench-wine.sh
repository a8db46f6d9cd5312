#!/usr/bin/env bash
# Whether karuneo.exe keeps answering its window's messages while it works:
# builds the windows-release preset (optimised, as shipped), makes a folder
# D/A holding BENCH_FILES (4000) empty files, and runs
# bench/win32_responsiveness under Wine, which starts
# karuneo.exe on D and asks its window every 50 ms for as long as the run
# lasts. Each move costs Wine a pass over the folder (its lookups ignore
# case), so a few thousand files make a run of several seconds. Then
# bench/win32_moves sets the engine's Windows layer against a bare loop of
# MoveFileExW over BENCH_MOVES (2000) files, in one process.
#
#   scripts/bench-wine.sh            # BENCH_FILES=5000 for a longer run
set -euo pipefail
cd "$(dirname "$0")/.."

files="${BENCH_FILES:-4000}"
scripts/install-deps.sh windows
scripts/build-libarchive-mingw.sh > /dev/null
cmake --preset windows-release > /dev/null
cmake --build --preset windows-release -j 2 --target karuneo win32-responsiveness win32-moves > /dev/null

bin=build/windows-release/bin
export WINEPREFIX="$PWD/build/windows-release/bench-prefix"
. scripts/wine-env.sh
scratch=$(mktemp -d)
start_wineserver
trap 'stop_wineserver; rm -rf "$scratch"' EXIT
scripts/wine-prefix.sh null
"$wine" reg delete 'HKCU\Software\VB and VBA Program Settings' /f < /dev/null > /dev/null 2>&1 || true

mkdir -p "$scratch/D/A"
(cd "$scratch/D/A" && seq -f 'f%.0f' 0 $((files - 1)) | xargs touch)
folder=$("$wine" winepath -w "$scratch/D" 2> /dev/null)
echo "karuneo.exe on D/A with $files files, under Wine's null driver:"
"$wine" "$bin/win32-responsiveness.exe" "$bin/karuneo.exe" "$folder" < /dev/null
moved=$(find "$scratch/D" -maxdepth 1 -type f | wc -l)
echo "files now in D: $moved of $files"

moves="${BENCH_MOVES:-2000}"
echo
echo "The Windows layer against a bare MoveFileExW loop, under Wine:"
"$wine" "$bin/win32-moves.exe" "$moves" 3 < /dev/null
