#!/usr/bin/env bash
# What the fault record saves a host on a machine whose OpenCL driver hangs:
# the wall time of a fault-free run against runs on the hanging driver without
# a record and with the record of an earlier run, natively and under Wine
# (the test OpenCL runtime's hang mode, the default deadline of 20 s). Prints
# figures; asserts nothing.
# Usage: bench/fault_record_benchmark.sh [runs (default 5)] [native|wine|both (default both)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
where=${2:-both}
unset DISPLAY WAYLAND_DISPLAY
"$root/scripts/setup.sh"

if [ "$where" != wine ]; then
  "$root/scripts/build.sh" linux
  build="$root/build/linux"
  printf 'native: '
  VEXILON_GPU_EXE="$build/source/applications/vexilon_gpu/vexilon_gpu" VEXILON_FIXTURES_DIR="$build/tests/fixtures" \
    "$build/bench/fault_record_benchmark" "$runs"
fi
if [ "$where" != native ]; then
  "$root/scripts/build.sh" windows
  build="$root/build/windows"
  testbed=("$root/scripts/testbed/testbed.sh" "$build/testbed")
  "${testbed[@]}" start
  trap '"${testbed[@]}" stop' EXIT
  printf 'Wine: '
  VEXILON_GPU_EXE="$build/source/applications/vexilon_gpu/vexilon_gpu.exe" VEXILON_FIXTURES_DIR="$build/tests/fixtures" \
    "${testbed[@]}" run "$build/bench/fault_record_benchmark.exe" "$runs"
fi
