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
runs=${1:-11}
where=${2:-both}
unset DISPLAY WAYLAND_DISPLAY
"$root/scripts/setup.sh"

wall_time() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || [ $? -le 3 ] || { echo "isolation_benchmark: '$*' failed" >&2; exit 1; }
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f\n", b - a }'
}
median() { sort -g | awk 'NF { t[++n] = $1 } END { print (n % 2) ? t[(n + 1) / 2] : (t[n / 2] + t[n / 2 + 1]) / 2 }'; }

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

cd "$(mktemp -d)"  # no handshake file here
trap 'rm -rf "$PWD"' EXIT
if [ "$where" != wine ]; then
  "$root/scripts/build.sh" linux
  tool="$root/build/linux/source/applications/vexilon_gpu/vexilon_gpu"
  compare "native --qz4" "$tool" --qz4
  compare "native legacy" "$tool"
fi
if [ "$where" != native ]; then
  "$root/scripts/build.sh" windows
  testbed=("$root/scripts/testbed/testbed.sh" "$root/build/windows/testbed")
  "${testbed[@]}" start
  trap '"${testbed[@]}" stop; rm -rf "$PWD"' EXIT
  exe="$root/build/windows/source/applications/vexilon_gpu/vexilon_gpu.exe"
  compare "Wine --qz4" "${testbed[@]}" run "$exe" --qz4
  compare "Wine legacy" "${testbed[@]}" run "$exe"
fi
