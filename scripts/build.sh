#!/usr/bin/env bash
# Configures (once) and builds one tree: the Windows one by default, or the
# named preset ("linux", "linux-asan"). Build chatter goes to build/build.log
# (Windows) or build/build-<preset>.log and is shown only when the build fails.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-windows}
mkdir -p build
log=build/build.log
[ "$preset" = windows ] || log=build/build-$preset.log
if { [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset"; } >"$log" 2>&1 &&
   cmake --build --preset "$preset" -- -j"$(nproc)" >>"$log" 2>&1; then
  exit 0
fi
cat "$log" >&2
echo "build: $preset failed (log in $log)" >&2
exit 1
