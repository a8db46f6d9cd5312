#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it for FUZZ_SECONDS seconds
# (default 20), keeping what it learns in build/fuzz/corpus. Further
# arguments go to libFuzzer, e.g. -jobs=2 or a crash file to replay.
# FUZZ_TARGET=extract_fuzz fuzzes the extraction of archives instead, its
# corpus in build/fuzz/corpus-extract.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh fuzz
cmake --preset fuzz > /dev/null
target=${FUZZ_TARGET:-unnest_fuzz}
cmake --build --preset fuzz -j "$(nproc)" --target "$target"
corpus=build/fuzz/corpus
[ "$target" = unnest_fuzz ] || corpus=build/fuzz/corpus-extract
mkdir -p "$corpus"
build/fuzz/bin/"$target" -max_total_time="${FUZZ_SECONDS:-20}" -print_final_stats=1 \
    "$corpus" "$@"
