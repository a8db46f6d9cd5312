#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

# Every stage's wall time, in seconds, is printed as it ends and once more at
# the end (on a failure too): what to look at first when the run gets slow.
stage_name=""
stage_start=$SECONDS
stage_times=()
end_stage() {
  [ -n "$stage_name" ] || return 0
  local took=$((SECONDS - stage_start))
  echo "-- $stage_name: $took s"
  stage_times+=("$(printf '%6d s  %s' "$took" "$stage_name")")
  stage_name=""
}
stage() {
  end_stage
  stage_name=$1
  stage_start=$SECONDS
  echo "== $1"
}
print_stage_times() {
  local status=$?
  end_stage
  echo "== Wall time per stage"
  printf '%s\n' "${stage_times[@]}"
  printf '%6d s  in all\n' "$SECONDS"
  return "$status"
}
trap print_stage_times EXIT

stage "Dependencies"
scripts/install-deps.sh window cache

# Four trees are built, most of the run. With a compiler cache in the user's
# cache folder, a run after the first compiles only what changed since, in
# this clone or in a fresh one anywhere: the cache keys on paths below the
# clone's root, not on where the clone is.
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true

stage "Formatting"
scripts/check-format.sh

stage "Includes"
scripts/check-includes.sh

jobs=$(nproc)

# The ci presets are the everyday ones with warnings as errors, each in a build
# folder of its own, so that nothing set here stays in build/.
stage "Linux build and tests"
cmake --preset ci > /dev/null
cmake --build --preset ci -j "$jobs"
# These tests wait on the disk, on child processes and on signals far more
# than they compute (on two cores, -j 2 kept 0.7 of them busy and took 182 s,
# -j 4 took 104 s); the sanitizer tree's below do compute, and keep -j "$jobs".
ctest --preset ci -j "$((jobs * 2))"

stage "AddressSanitizer and UndefinedBehaviorSanitizer build and tests"
cmake --preset ci-asan > /dev/null
cmake --build --preset ci-asan -j "$jobs"
# The tests above met the disk; these look for memory errors, and their
# folders go to a RAM disk when there is room: on this 2-core machine that
# took the tests from 93 s to 60 s (waits on the journal's syncs, mostly).
asan_tmp=""
if [ "$(df --output=avail -k /dev/shm 2> /dev/null | tail -n 1)" -ge 1048576 ] 2> /dev/null; then
  asan_tmp=$(mktemp -d /dev/shm/karuneo-asan.XXXXXX)
fi
asan_status=0
TMPDIR=${asan_tmp:-${TMPDIR:-/tmp}} ctest --preset ci-asan -j "$jobs" || asan_status=$?
[ -z "$asan_tmp" ] || rm -rf "$asan_tmp"
[ "$asan_status" -eq 0 ] || exit "$asan_status"

stage "Fuzzing (briefly)"
FUZZ_SECONDS="${FUZZ_SECONDS:-20}" scripts/fuzz.sh

stage "Windows build and tests under Wine"
scripts/install-deps.sh windows
scripts/test-windows.sh

stage "Packages (.deb and Windows zip; installs nothing)"
scripts/check-packages.sh
