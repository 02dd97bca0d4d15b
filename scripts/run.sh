#!/usr/bin/env bash
# Runs vexilon_gpu.exe under Wine on a virtual display, building it first if
# needed. Arguments go to the tool; its standard output, standard error and
# exit code come back unchanged. Handshake files are looked up in the current
# directory, as on Windows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

testbed=("$root/scripts/testbed/testbed.sh" "$root/build/windows/testbed")
"${testbed[@]}" start
# Wine's helper processes hold the tool's output open until they are stopped.
trap '"${testbed[@]}" stop' EXIT

status=0
"${testbed[@]}" run "$root/build/windows/source/applications/vexilon_gpu/vexilon_gpu.exe" "$@" || status=$?
exit "$status"
