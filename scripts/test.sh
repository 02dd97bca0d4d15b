#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the Windows program under
# Wine, then the native Linux program, plainly and under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzz targets over their corpora, then
# the packages, built and unpacked as a user would. The first failure stops
# the run. Arguments go to every ctest run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh"
"$root/scripts/build.sh" windows

# ctest starts and stops the test bed itself; this is for an interrupted run.
trap '"$root/scripts/testbed/testbed.sh" "$root/build/windows/testbed" stop' EXIT
cd "$root"
ctest --preset windows "$@"

# The native suites need no display; a leak or undefined behaviour fails them.
"$root/scripts/build.sh" linux
ctest --preset linux "$@"
"$root/scripts/build.sh" linux-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --preset linux-asan "$@"
"$root/scripts/build.sh" linux-fuzz
ctest --preset linux-fuzz "$@"
"$root/scripts/package.sh"
"$root/tests/scripts/package_test.sh" "$root/build/packages"
