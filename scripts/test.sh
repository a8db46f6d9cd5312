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

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build and tests"
cmake --preset asan "$werror" > /dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== Fuzzing (briefly)"
FUZZ_SECONDS="${FUZZ_SECONDS:-20}" scripts/fuzz.sh

echo "== Windows build and tests under Wine"
scripts/install-deps.sh windows
scripts/test-windows.sh

echo "== Packages (.deb and Windows zip; installs nothing)"
scripts/check-packages.sh

echo "== Formatting"
scripts/check-format.sh
