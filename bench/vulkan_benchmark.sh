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
runs=${1:-11}
where=${2:-both}
unset DISPLAY WAYLAND_DISPLAY
"$root/scripts/setup.sh"

wall_time() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || { echo "vulkan_benchmark: '$*' failed" >&2; exit 1; }
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f\n", b - a }'
}
median() { sort -g | awk 'NF { t[++n] = $1 } END { print (n % 2) ? t[(n + 1) / 2] : (t[n / 2] + t[n / 2 + 1]) / 2 }'; }

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
    printf " Vulkan's share %.3f, JSON with Vulkan / lines %.3f\n", v / o, v / t
  }'
}

cd "$(mktemp -d)"  # no handshake file here
trap 'rm -rf "$PWD"' EXIT
if [ "$where" != wine ]; then
  "$root/scripts/build.sh" linux
  compare native "$root/build/linux/source/applications/vexilon_gpu/vexilon_gpu"
fi
if [ "$where" != native ]; then
  "$root/scripts/build.sh" windows
  testbed=("$root/scripts/testbed/testbed.sh" "$root/build/windows/testbed")
  "${testbed[@]}" start
  trap '"${testbed[@]}" stop; rm -rf "$PWD"' EXIT
  compare Wine "${testbed[@]}" run "$root/build/windows/source/applications/vexilon_gpu/vexilon_gpu.exe"
fi
