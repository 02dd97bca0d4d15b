#!/usr/bin/env bash
# Line coverage of source/ by the test suites, per file and in total, for
# each system: the Windows build under Wine and the native build. Each system
# has its own coverage build tree (build/windows-coverage, build/linux-coverage);
# earlier counts are cleared first. The probes count too: a coverage build's
# probe writes its counts before its last word.
#
#   scripts/coverage.sh [windows|linux]...   (both by default; arguments after
#                                             "--" go to every ctest run)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

systems=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  case $1 in
    windows | linux) systems+=("$1") ;;
    *) echo "usage: $0 [windows|linux]... [-- ctest arguments]" >&2; exit 64 ;;
  esac
  shift
done
[ $# -gt 0 ] && shift
[ ${#systems[@]} -gt 0 ] || systems=(windows linux)

"$root/scripts/setup.sh"

status=0
for system in "${systems[@]}"; do
  preset=$system-coverage
  tree=build/$preset
  "$root/scripts/build.sh" "$preset"
  find "$tree" -name '*.gcda' -delete
  gcov=gcov
  prefix=
  if [ "$system" = windows ]; then
    gcov=x86_64-w64-mingw32-gcov
    # The counts' paths are this machine's: under Wine they are on drive Z:,
    # whatever drive a program runs from.
    prefix=Z:
    trap '"$root/scripts/testbed/testbed.sh" "$root/$tree/testbed" stop' EXIT
  fi
  # A failing test still leaves its counts; the suite's verdict is kept.
  GCOV_PREFIX=$prefix ctest --preset "$preset" "$@" >"build/$preset.log" 2>&1 || {
    status=1
    echo "coverage: $system: some tests failed (log in build/$preset.log)" >&2
  }
  echo "== line coverage: $system"
  gcovr --root "$root" --gcov-executable "$gcov" --filter "$root/source/" --txt - --sort-percentage "$tree"
done
exit $status
