#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it for FUZZ_SECONDS seconds
# (default 20), keeping what it learns in build/fuzz/corpus. Further
# arguments go to libFuzzer, e.g. -jobs=2 or a crash file to replay.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh fuzz
cmake --preset fuzz > /dev/null
cmake --build --preset fuzz -j "$(nproc)" --target unnest_fuzz
corpus=build/fuzz/corpus
mkdir -p "$corpus"
build/fuzz/bin/unnest_fuzz -max_total_time="${FUZZ_SECONDS:-20}" -print_final_stats=1 \
    "$corpus" "$@"
