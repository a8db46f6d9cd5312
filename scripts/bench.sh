#!/usr/bin/env bash
# Builds the optimised benchmark and runs it. Arguments go to karuneo-bench:
# --huge adds N = 1 000 000, --only N measures one size, --reps K sets the
# runs per figure, --dir SCRATCH chooses the file system the trees are built
# on (default: the temp folder).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh bench
cmake --preset release > /dev/null
cmake --build --preset release -j "$(nproc)" --target karuneo-bench
build/release/bin/karuneo-bench "$@"
