#!/usr/bin/env bash
# Runs a Windows program under Wine as scripts/wine-env.sh sets it up:
#
#   WINEPREFIX=PREFIX scripts/wine.sh PROGRAM.exe [ARG...]
#
# CMake runs the Windows tests through it.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
exec "$wine" "$@"
