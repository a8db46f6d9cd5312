#!/usr/bin/env bash
# Installs what is missing, builds the window and starts it. Needs a display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh window

# The command-line tool too: `cmake --install build` installs both.
targets=(karuneo karuneo-cli)

cmake --preset dev > /dev/null
cmake --build --preset dev --target "${targets[@]}" -j "$(nproc)"
exec build/bin/karuneo
