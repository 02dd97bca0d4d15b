#!/usr/bin/env bash
# scripts/gpu-check.sh (path in $1) on sample outputs of a machine with an Intel
# and two NVIDIA GPUs: which reports of its three runs it passes.
set -u
check=$1
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
printf '%s\n' "00000000:A1:00.0, 0x233110DE, 81559 MiB, 550.54.15, GPU-a1, NVIDIA H100 PCIe" \
  "00000000:41:00.0, 0x20B010DE, 40960 MiB, 550.54.15, GPU-41, NVIDIA A100" >"$dir/smi"
echo "  Platform Version      OpenCL 3.0 CUDA 12.4.89" >"$dir/clinfo"
# A report of blocks given as "VendorID RendererID MemoryMB", in its order.
report() {
  local index=0 vendor renderer memory && echo "NumGPUs=$#"
  for block in "$@"; do
    read -r vendor renderer memory <<<"$block"
    printf 'gpu[%d].%s\n' $index "VendorID=$vendor" $index "RendererID=$renderer" $index "MemoryMB=$memory" \
      $index 'DriverVersion="550.54.15"' $index 'OCLVersion="3.0"' $index 'CUDAVersion="12.4.89"'
    index=$((index + 1))
  done
}
report "32902 39497 0" "4318 8368 40960" "4318 9009 81559" >"$dir/bus-order"
report "4318 9009 81559" "4318 8368 40960" >"$dir/by-index"  # CUDA order taken for bus order
report "4318 8368 40960" "0 0 0" >"$dir/one-lost"
for gpu in "a1 9009 81559" "41 8368 40960"; do report "4318 ${gpu#* }" | sed 's/^gpu\[0\]/gpu/' >"$dir/${gpu%% *}"; done
failed=0
while read -r status plain reversed one; do
  "$check" --smi-output "$dir/smi" --clinfo-output "$dir/clinfo" \
    --tool-output "$dir/$plain" --tool-output "$dir/$reversed" --tool-output "$dir/$one" >"$dir/out" 2>&1
  got=$?
  [ "$got" = "$status" ] || { cat "$dir/out"; echo "FAILED: $plain $reversed $one: exit $got, not $status"; failed=1; }
done <<'CASES'
0 bus-order bus-order a1
0 bus-order bus-order bus-order
1 by-index bus-order a1
1 bus-order by-index a1
1 bus-order bus-order 41
1 bus-order bus-order one-lost
CASES
exit $failed
