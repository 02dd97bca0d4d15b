#!/usr/bin/env bash
# Runs the native Linux vexilon_gpu, configuring and building the "linux"
# preset first if needed. Arguments go to the tool; its standard output,
# standard error and exit code come back unchanged. Build chatter goes to
# build/build-linux.log and is shown only when the build fails. Handshake
# files are looked up in the current directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

mkdir -p "$root/build"
log="$root/build/build-linux.log"
if ! ( cd "$root" &&
       { [ -f build/linux/CMakeCache.txt ] || cmake --preset linux; } &&
       cmake --build --preset linux --target vexilon_gpu -- -j"$(nproc)" ) >"$log" 2>&1; then
  cat "$log" >&2
  echo "run-native: build failed (log in $log)" >&2
  exit 1
fi

exec "$root/build/linux/source/applications/vexilon_gpu/vexilon_gpu" "$@"
