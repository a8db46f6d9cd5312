#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
werror=-DKARUNEO_WERROR=ON

echo "== Linux build and tests"
cmake --preset dev "$werror" > /dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

echo "== Windows build and tests under Wine"
scripts/install-deps.sh windows
scripts/test-windows.sh

echo "== Formatting"
scripts/check-format.sh
