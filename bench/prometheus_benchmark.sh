#!/usr/bin/env bash
# What the metrics cost against the JSON document: the median wall time of
# whole fault-free `--qz4 --format=prometheus` runs, to standard output and
# with `--output` (a file renamed into place), against `--qz4 --format=json`
# runs; runs alternate so that a change in the machine's load touches all
# three. Natively and under Wine. Prints figures and ratios; asserts nothing.
# Usage: bench/prometheus_benchmark.sh [runs (default 11)] [native|wine|both (default both)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh" "$@"
export VEXILON_FAULT_RECORD=0

# compare LABEL COMMAND...: the command's metrics runs and its JSON runs.
compare() {
  local label=$1 metrics="" file="" json=""
  shift
  for ((i = 0; i < runs; ++i)); do
    metrics+="$(wall_time "$@" --qz4 --format=prometheus)"$'\n'
    file+="$(wall_time "$@" --qz4 --format=prometheus --output=vexilon_gpu.prom)"$'\n'
    json+="$(wall_time "$@" --qz4 --format=json)"$'\n'
  done
  awk -v l="$label" -v m="$(median <<<"$metrics")" -v f="$(median <<<"$file")" -v j="$(median <<<"$json")" \
      -v n="$runs" 'BEGIN {
    printf "%-8s prometheus %.3f s, prometheus --output %.3f s, json %.3f s (medians of %d):", l, m, f, j, n
    printf " ratio prometheus / json %.3f, prometheus --output / json %.3f\n", m / j, f / j
  }'
}

on_each_system compare
