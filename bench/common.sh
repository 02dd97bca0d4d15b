# Sourced by the benchmarks after they set `root`, with their arguments:
# [runs (default 11)] [native|wine|both (default both)].
runs=${1:-11}
where=${2:-both}
unset DISPLAY WAYLAND_DISPLAY
"$root/scripts/setup.sh"

# wall_time COMMAND...: seconds the command took (the tool's exit codes up to 3 are answers).
wall_time() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || [ $? -le 3 ] || { echo "benchmark: '$*' failed" >&2; exit 1; }
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f\n", b - a }'
}
# The median of the numbers on standard input, one a line.
median() { sort -g | awk 'NF { t[++n] = $1 } END { print (n % 2) ? t[(n + 1) / 2] : (t[n / 2] + t[n / 2 + 1]) / 2 }'; }

# on_each_system FUNCTION: FUNCTION LABEL COMMAND... for the native tool and
# the exe under Wine (as `where` says), built first, from a scratch folder
# without handshake files.
on_each_system() {
  cd "$(mktemp -d)"
  trap 'rm -rf "$PWD"' EXIT
  if [ "$where" != wine ]; then
    "$root/scripts/build.sh" linux
    "$1" native "$root/build/linux/source/applications/vexilon_gpu/vexilon_gpu"
  fi
  if [ "$where" != native ]; then
    "$root/scripts/build.sh" windows
    testbed=("$root/scripts/testbed/testbed.sh" "$root/build/windows/testbed")
    "${testbed[@]}" start
    trap '"${testbed[@]}" stop; rm -rf "$PWD"' EXIT
    "$1" Wine "${testbed[@]}" run "$root/build/windows/source/applications/vexilon_gpu/vexilon_gpu.exe"
  fi
}
