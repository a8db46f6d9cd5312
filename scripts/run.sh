#!/usr/bin/env bash
# Installs what is missing, builds the window and starts it. Needs a display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh window

cmake --preset dev -DKARUNEO_BUILD_WINDOW=ON > /dev/null
cmake --build --preset dev --target karuneo -j "$(nproc)"
exec build/bin/karuneo
