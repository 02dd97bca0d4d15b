#!/usr/bin/env bash
# What the Vulkan facts cost a JSON report: the median wall time of whole
# `--qz4 --format=json` runs with the system's Vulkan drivers (Mesa's
# lavapipe here) against the same runs with no Vulkan driver to find
# (VK_ICD_FILENAMES pointing at nothing), and of the line report, which never
# loads Vulkan, beside them; runs alternate so that a change in the machine's
# load touches all three. Natively and under Wine. Prints figures and ratios;
# asserts nothing.
# Usage: bench/vulkan_benchmark.sh [runs (default 11)] [native|wine|both (default both)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh" "$@"

# compare LABEL COMMAND...: the command's JSON runs with and without Vulkan, and its line runs.
compare() {
  local label=$1 vulkan="" none="" lines=""
  shift
  for ((i = 0; i < runs; ++i)); do
    vulkan+="$(wall_time "$@" --qz4 --format=json)"$'\n'
    none+="$(VK_ICD_FILENAMES=/nonexistent/icd.json wall_time "$@" --qz4 --format=json)"$'\n'
    lines+="$(wall_time "$@" --qz4)"$'\n'
  done
  awk -v l="$label" -v v="$(median <<<"$vulkan")" -v o="$(median <<<"$none")" -v t="$(median <<<"$lines")" \
      -v n="$runs" 'BEGIN {
    printf "%-8s JSON with Vulkan %.3f s, JSON without a Vulkan driver %.3f s, lines %.3f s (medians of %d):", l, v, o, t, n
    printf " ratio with / without Vulkan %.3f, JSON with Vulkan / lines %.3f\n", v / o, v / t
  }'
}

on_each_system compare
