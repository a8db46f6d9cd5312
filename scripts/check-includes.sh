#!/usr/bin/env bash
# Fails when include-what-you-use finds, in the toolkit-free code (the engine,
# the results' texts, the window's rules and worker), an #include that is not
# used or a name that comes only through another header: such code builds by
# luck and breaks when a header it never named stops including another.
# Only the code built on Linux is read: the Windows layers are not.
set -euo pipefail
cd "$(dirname "$0")/.."

# The ci preset writes the compile commands iwyu needs, but builds unity
# files, each several .cpp in one: iwyu must see every file by itself, so
# this tree is configured without them and never built.
tree=build/ci-includes
cmake --preset ci -B "$tree" -DCMAKE_UNITY_BUILD=OFF > /dev/null

report=$(iwyu_tool -p "$tree" -j "$(nproc)" engine results/rules window/rules window/worker -- \
    -Xiwyu --cxx17ns -Xiwyu --mapping_file="$PWD/scripts/iwyu/gcc12.imp" 2>&1) || true

# iwyu's exit status says nothing useful; its report does.
faults=$(awk '
    /should add these lines:$/ { file = $1; mode = "add"; next }
    /should remove these lines:$/ { file = $1; mode = "remove"; next }
    /^$/ || /^The full include-list/ { mode = ""; next }
    mode == "add" { print file ": add " $0 }
    mode == "remove" && /^- / { print file ": remove " substr($0, 3) }
' <<< "$report")
if [ -n "$faults" ]; then
    echo "$faults"
    echo "includes are not as include-what-you-use wants them (scripts/check-includes.sh)" >&2
    exit 1
fi
if grep -q "error:" <<< "$report"; then
    grep "error:" <<< "$report" >&2
    exit 1
fi
echo "includes are clean"
