#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh window

jobs=$(nproc)
werror=-DKARUNEO_WERROR=ON

echo "== Linux build and tests"
cmake --preset dev "$werror" -DKARUNEO_BUILD_WINDOW=ON > /dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

echo "== Formatting"
scripts/check-format.sh
