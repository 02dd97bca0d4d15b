#!/usr/bin/env bash
# Times the native tool against the least a program can do on the same GPU:
# the median wall time of whole `vexilon_gpu --qz4` runs against that of
# minimal_egl_context (one desktop-GL context on the same EGL device, its
# renderer string, teardown), and their ratio. The aim is at most 1.5; it
# prints figures and asserts nothing. Runs with no X display, as on a server.
# Usage: bench/native_benchmark.sh [runs (default 5)] [build dir (default build/linux)]
# Builds what is missing in the build dir (configuring it with the linux preset).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
build=$(cd "$root" && realpath -m "${2:-build/linux}")
tool="$build/source/applications/vexilon_gpu/vexilon_gpu"
minimal="$build/bench/minimal_egl_context"
unset DISPLAY WAYLAND_DISPLAY

if [ ! -x "$tool" ] || [ ! -x "$minimal" ]; then
  "$root/scripts/setup.sh"
  [ -f "$build/CMakeCache.txt" ] || (cd "$root" && cmake --preset linux -B "$build" >&2)
  cmake --build "$build" --target vexilon_gpu minimal_egl_context >&2
fi

# The tool's first GPU, found among EGL's devices by its renderer string.
report=$(cd "$build" && "$tool" --qz4) || { echo "native_benchmark: $tool --qz4 failed" >&2; exit 1; }
renderer=$(sed -n 's/^gpu\(\[0\]\)\{0,1\}\.Renderer="\(.*\)"$/\2/p' <<<"$report" | sed -n 1p)
device=0
for ((n = 0; n < 16; ++n)); do
  found=$("$minimal" --device="$n" 2>/dev/null) || break
  if [ "$found" = "GL_RENDERER=$renderer" ]; then
    device=$n
    break
  fi
done

# Wall time in seconds of one run of the command; output discarded.
wall_time() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null || { echo "native_benchmark: '$*' failed" >&2; exit 1; }
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f\n", b - a }'
}
median() { sort -g | awk 'NF { t[++n] = $1 } END { print (n % 2) ? t[(n + 1) / 2] : (t[n / 2] + t[n / 2 + 1]) / 2 }'; }

# Alternating runs, so that a change in the machine's load touches both.
# Working directory: the build dir, where no handshake file lies.
cd "$build"
tool_times=""
minimal_times=""
for ((i = 0; i < runs; ++i)); do
  tool_times+="$(wall_time "$tool" --qz4)"$'\n'
  minimal_times+="$(wall_time "$minimal" --device="$device")"$'\n'
done
tool_time=$(median <<<"$tool_times")
minimal_time=$(median <<<"$minimal_times")
echo "device: ${renderer:-(tool reported no renderer)} (EGL device $device)"
awk -v t="$tool_time" -v m="$minimal_time" -v n="$runs" 'BEGIN {
  printf "vexilon_gpu --qz4: %.3f s (median of %d); minimal EGL context: %.3f s (median of %d); ratio %.2f (aim <= 1.5)\n", t, n, m, n, t / m
}'
