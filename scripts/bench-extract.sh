#!/usr/bin/env bash
# Extraction and un-nesting by karuneo-cli --extract beside bsdtar -xf into
# an empty folder, on two archives made here: a tar.gz of a source tree (a
# copy of /usr/include without its links, which point outside) and a zip of
# 20 000 small files. Prints wall-clock and CPU seconds, the best of REPS
# runs each (default 3); no figure is checked against a bound.
# Usage: scripts/bench-extract.sh CLI [SCRATCH]
set -euo pipefail

cli=$1
scratch=$(mktemp -d "${2:-${TMPDIR:-/tmp}}/karuneo-bench-extract.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
reps=${REPS:-3}
export XDG_STATE_HOME=$scratch/state

make_archives() {
  mkdir -p "$scratch/made/source" "$scratch/made/small/files"
  cp -a /usr/include "$scratch/made/source/include"
  find "$scratch/made/source" -type l -delete
  bsdtar -czf "$scratch/source.tar.gz" -C "$scratch/made/source" include
  for d in $(seq 0 19); do
    mkdir "$scratch/made/small/files/d$d"
    for i in $(seq 0 999); do
      printf 'file %d %d\n' "$d" "$i" > "$scratch/made/small/files/d$d/f$i.txt"
    done
  done
  bsdtar -cf "$scratch/small.zip" --format zip -C "$scratch/made/small" files
  rm -rf "$scratch/made"
}

# Seconds of wall clock, user and system for one command, from bash's times.
seconds() {
  local TIMEFORMAT='%R %U %S'
  { time "$@" > /dev/null 2>&1; } 2>&1
}

best() {
  sort -n | head -1
}

measure() {
  local archive=$1 ours=() theirs=() run
  for run in $(seq "$reps"); do
    rm -rf "$scratch/ours" "$scratch/theirs"
    mkdir "$scratch/ours" "$scratch/theirs"
    ln "$scratch/$archive" "$scratch/ours/$archive"
    ours+=("$(seconds "$cli" --extract "$scratch/ours/$archive")")
    theirs+=("$(seconds bsdtar -xf "$scratch/$archive" -C "$scratch/theirs")")
  done
  local ours_wall ours_cpu theirs_wall theirs_cpu
  ours_wall=$(printf '%s\n' "${ours[@]}" | awk '{print $1}' | best)
  ours_cpu=$(printf '%s\n' "${ours[@]}" | awk '{print $2 + $3}' | best)
  theirs_wall=$(printf '%s\n' "${theirs[@]}" | awk '{print $1}' | best)
  theirs_cpu=$(printf '%s\n' "${theirs[@]}" | awk '{print $2 + $3}' | best)
  local entries
  entries=$(find "$scratch/theirs" | wc -l)
  printf '%-16s %9s %7d  karuneo %6.2f s (cpu %6.2f)  bsdtar %6.2f s (cpu %6.2f)  ratio %.2f (cpu %.2f)\n' \
    "$archive" "$(du -h "$scratch/$archive" | cut -f1)" "$entries" \
    "$ours_wall" "$ours_cpu" "$theirs_wall" "$theirs_cpu" \
    "$(awk -v a="$ours_wall" -v b="$theirs_wall" 'BEGIN {print a / b}')" \
    "$(awk -v a="$ours_cpu" -v b="$theirs_cpu" 'BEGIN {print a / b}')"
}

make_archives
echo "extract + un-nest vs bsdtar -xf, best of $reps (archive, size, entries):"
measure source.tar.gz
measure small.zip
