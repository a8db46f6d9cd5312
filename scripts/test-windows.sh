#!/usr/bin/env bash
# Cross-builds the Windows executables with mingw-w64 and runs their tests
# under Wine. One wineserver is kept alive for the whole run: without it every
# test waits seconds for Wine's services to start and to wind down.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
build=build/windows
export WINEPREFIX="$PWD/$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts

echo "== Windows cross build"
cmake --preset windows -DKARUNEO_WERROR=ON > /dev/null
cmake --build --preset windows -j "$jobs"

echo "== Windows tests under Wine"
mkdir -p "$WINEPREFIX"
wineserver -p < /dev/null > /dev/null 2>&1
trap 'wineserver -k || true' EXIT
# Wine hides names that start with "." unless told otherwise, and the window
# tests need the null graphics driver: scripts/wine-prefix.sh sees to both.
scripts/wine-prefix.sh null
# Under Wine a test process now and then dies as it starts, before any test
# code runs (seen once in many runs: failed in 0.01 s, no output). A second try
# tells that apart from a real fault, which fails both times.
ctest --preset windows -j "$jobs" --repeat until-pass:2
