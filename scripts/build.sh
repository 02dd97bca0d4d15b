#!/usr/bin/env bash
# Configures (once) and builds the Windows tree. Build chatter goes to
# build/build.log and is shown only when the build fails.
set -euo pipefail
cd "$(dirname "$0")/.."

mkdir -p build
log=build/build.log
if { [ -f build/windows/CMakeCache.txt ] || cmake --preset windows; } >"$log" 2>&1 &&
   cmake --build --preset windows -- -j"$(nproc)" >>"$log" 2>&1; then
  exit 0
fi
cat "$log" >&2
echo "build: failed (log in $log)" >&2
exit 1
