#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh window

echo "== Formatting"
scripts/check-format.sh

echo "== Includes"
scripts/check-includes.sh

jobs=$(nproc)

# The ci presets are the everyday ones with warnings as errors, each in a build
# folder of its own, so that nothing set here stays in build/.
echo "== Linux build and tests"
cmake --preset ci > /dev/null
cmake --build --preset ci -j "$jobs"
# These tests wait on the disk, on child processes and on signals far more
# than they compute (on two cores, -j 2 kept 0.7 of them busy and took 182 s,
# -j 4 took 104 s); the sanitizer tree's below do compute, and keep -j "$jobs".
ctest --preset ci -j "$((jobs * 2))"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build and tests"
cmake --preset ci-asan > /dev/null
cmake --build --preset ci-asan -j "$jobs"
ctest --preset ci-asan -j "$jobs"

echo "== Fuzzing (briefly)"
FUZZ_SECONDS="${FUZZ_SECONDS:-20}" scripts/fuzz.sh

echo "== Windows build and tests under Wine"
scripts/install-deps.sh windows
scripts/test-windows.sh

echo "== Packages (.deb and Windows zip; installs nothing)"
scripts/check-packages.sh
