#!/usr/bin/env bash
# What running the probes in a watched child process costs a fault-free run:
# the median wall time of whole runs of the tool with its probe in a child
# process (the default) against the same build with the probe in-process
# (VEXILON_IN_PROCESS=1), runs alternating so that a change in the machine's
# load touches both, for tester mode and the legacy check, natively and under
# Wine. Prints figures and their ratio (the aim is at most 1.10); asserts nothing.
# Usage: bench/isolation_benchmark.sh [runs (default 11)] [native|wine|both (default both)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh" "$@"

# compare LABEL COMMAND...: the command's runs in a child and in-process.
compare() {
  local label=$1 child="" inprocess=""
  shift
  for ((i = 0; i < runs; ++i)); do
    child+="$(VEXILON_IN_PROCESS=0 wall_time "$@")"$'\n'
    inprocess+="$(VEXILON_IN_PROCESS=1 wall_time "$@")"$'\n'
  done
  awk -v l="$label" -v c="$(median <<<"$child")" -v p="$(median <<<"$inprocess")" -v n="$runs" 'BEGIN {
    printf "%-22s probe in a child %.3f s, in-process %.3f s (medians of %d): ratio %.3f (aim <= 1.10)\n", l, c, p, n, c / p
  }'
}

# The tester and the legacy check of one system's tool.
both_modes() {
  compare "$1 --qz4" "${@:2}" --qz4
  compare "$1 legacy" "${@:2}"
}
on_each_system both_modes
