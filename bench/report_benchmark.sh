#!/usr/bin/env bash
# Times tester-mode runs under Wine with the OpenCL fixture: the wall time of
# whole runs of vexilon_gpu.exe and the share of an in-process run spent in
# the bandwidth measurements. Usage: bench/report_benchmark.sh [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

build="$root/build/windows"
testbed=("$root/scripts/testbed/testbed.sh" "$build/testbed")
"${testbed[@]}" start
trap '"${testbed[@]}" stop' EXIT

export VEXILON_GPU_EXE="$build/source/applications/vexilon_gpu/vexilon_gpu.exe"
export VEXILON_FIXTURES_DIR="$build/tests/fixtures"
"${testbed[@]}" run "$build/bench/report_benchmark.exe" "${1:-3}"
