#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

# ctest starts and stops the test bed itself; this is for an interrupted run.
trap '"$root/scripts/testbed/testbed.sh" "$root/build/windows/testbed" stop' EXIT
cd "$root"
ctest --preset windows "$@"
