#!/usr/bin/env bash
# Measures the power of the test suite: applies each seeded fault of
# scripts/faults/*.patch in turn to a clean tree, builds, runs the suites until
# one fails, restores the tree, and prints one line per fault: which test
# caught it, or "MISSED".
#
#   scripts/fault-check.sh [--suites "linux windows"] [PATCH...]
#
# Suites run in the order given, each stopping at its first failing test; a
# fault caught by the first suite never costs a run of the next. Expects a
# tree without uncommitted changes under source/ and the build trees of the
# suites configured (scripts/test.sh does both).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

suites="linux windows"
if [ "${1:-}" = "--suites" ]; then
  suites=$2
  shift 2
fi
patches=("$@")
[ ${#patches[@]} -gt 0 ] || patches=(scripts/faults/*.patch)

if ! git diff --quiet -- source; then
  echo "fault-check: source/ has uncommitted changes; commit or stash them first" >&2
  exit 2
fi

log=build/fault-check
mkdir -p "$log"
restore() { git checkout -q -- source; }
# A suite stopped at its first failure may leave the Wine test bed running.
finish() {
  restore
  [ ! -d build/windows/testbed ] || scripts/testbed/testbed.sh build/windows/testbed stop >/dev/null 2>&1 || true
}
trap finish EXIT

# Runs one suite; prints the first failing test's name, or nothing.
first_failure() {
  local suite=$1 output=$2
  local dir=build/$suite
  if ! cmake --build "$dir" -- -j"$(nproc)" >"$output" 2>&1; then
    echo "build($suite)"
    return
  fi
  if ctest --test-dir "$dir" --stop-on-failure --output-on-failure >>"$output" 2>&1; then
    return
  fi
  # The failing gtest case where there is one, else the ctest entry.
  local failed
  failed=$(grep -m1 -oE '^\[  FAILED  \] [A-Za-z0-9_./]+' "$output" | sed 's/^\[  FAILED  \] //') || true
  [ -n "$failed" ] || failed=$(grep -m1 -oE '[0-9]+ - [A-Za-z0-9_.]+ \(' "$output" | sed -E 's/^[0-9]+ - //; s/ \($//') || true
  echo "$suite:${failed:-unknown}"
}

caught=0
missed=0
for patch in "${patches[@]}"; do
  name=$(basename "$patch" .patch)
  if ! git apply "$patch"; then
    echo "$name: does not apply"
    continue
  fi
  verdict=""
  for suite in $suites; do
    verdict=$(first_failure "$suite" "$log/$name.$suite.log")
    [ -z "$verdict" ] || break
  done
  restore
  if [ -n "$verdict" ]; then
    caught=$((caught + 1))
    echo "$name: caught by $verdict"
  else
    missed=$((missed + 1))
    echo "$name: MISSED"
  fi
done
# Leave the build trees matching the restored sources.
for suite in $suites; do cmake --build "build/$suite" -- -j"$(nproc)" >"$log/rebuild.$suite.log" 2>&1 || true; done
echo "fault-check: $caught caught, $missed missed"
