#!/usr/bin/env bash
# Builds the packages into build/packages: the ZIP of the Windows tool (exe,
# README, report reference and schema) and the Debian package of the native
# tool (with its manual page). Works from a clean clone: sets up and builds
# the windows and linux trees first, as scripts/test.sh does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/packages

"$root/scripts/setup.sh"
rm -rf "$out"
mkdir -p "$out"
for preset in windows linux; do
  "$root/scripts/build.sh" "$preset"
  log=$root/build/package-$preset.log
  if ! (cd "$root/build/$preset" && cpack -B "$out/work-$preset") >"$log" 2>&1; then
    cat "$log" >&2
    echo "package: $preset failed (log in $log)" >&2
    exit 1
  fi
  find "$out/work-$preset" -maxdepth 1 -type f \( -name '*.zip' -o -name '*.deb' \) -exec mv {} "$out/" \;
  rm -rf "$out/work-$preset"
done
ls -l "$out"
