#!/usr/bin/env bash
# Builds the optimised benchmark and runs it. Arguments go to karuneo-bench:
# --huge adds N = 1 000 000, --only N measures one size, --reps K sets the
# runs per figure, --dir SCRATCH chooses the file system the trees are built
# on (default: the temp folder). --extract measures instead extracting
# archives against bsdtar (scripts/bench-extract.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh bench
cmake --preset release > /dev/null
if [ "${1:-}" = "--extract" ]; then
  cmake --build --preset release -j "$(nproc)" --target karuneo-cli
  exec scripts/bench-extract.sh "$PWD/build/release/bin/karuneo-cli" "${@:2}"
fi
cmake --build --preset release -j "$(nproc)" --target karuneo-bench
build/release/bin/karuneo-bench "$@"
