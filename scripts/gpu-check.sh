#!/usr/bin/env bash
# Checks the native tool's report on a Linux machine with NVIDIA GPUs against
# the driver's own tools. Runs `vexilon_gpu --qz4` (no X display) three times:
#   plain          as it comes
#   reversed       CUDA_DEVICE_ORDER=FASTEST_FIRST and CUDA_VISIBLE_DEVICES
#                  naming the GPUs (by UUID) from the highest bus down
#   one            CUDA_VISIBLE_DEVICES naming the GPU highest on the bus
# CUDA numbers devices differently in each, so each run shows whether every
# block is tied to the right GPU. The tool lists GPUs in PCI bus order: its
# NVIDIA blocks (VendorID 4318) are compared, in order, with nvidia-smi's rows
# sorted by pci.bus_id (in the "one" run, with that GPU's row alone where the
# tool lists one NVIDIA GPU), as a table of run, GPU, field, tool, driver and
# ok/MISMATCH:
#   VendorID       4318
#   RendererID     the PCI device id (upper 16 bits of nvidia-smi's pci.device_id)
#   MemoryMB       nvidia-smi's memory.total (MiB)
#   DriverVersion  nvidia-smi's driver_version
#   OCLVersion     "OpenCL 3.0 CUDA 12.2.149" gives 3.0 ...
#   CUDAVersion    ... and 12.2.149 (both rows skipped when clinfo is absent)
# A run with another number of NVIDIA blocks than rows is one MISMATCH.
# It never builds or installs anything (such machines often reach no package
# registry): build the tool elsewhere and bring the build along.
#
# Usage: scripts/gpu-check.sh [options] [TOOL]
#   TOOL                  default build/linux/source/applications/vexilon_gpu/vexilon_gpu
#   --tool-output FILE    the tool's --qz4 output instead of running the tool: given once,
#                         for every run; given three times, for the plain, reversed and one runs
#   --smi-output FILE     output of `nvidia-smi --query-gpu=pci.bus_id,pci.device_id,memory.total,
#                         driver_version,uuid,name --format=csv,noheader,nounits` instead of running nvidia-smi
#   --clinfo-output FILE  output of `clinfo` instead of running it
# The overrides let the comparison run on a machine without the GPU; the
# checks of the machine are made only for what is really run.
# Exit codes: 0 all rows ok; 1 a mismatch; 2 usage, or the tool failed;
# 3 the machine lacks the GPU, EGL or the OpenCL ICD (said on standard error).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

tool="$root/build/linux/source/applications/vexilon_gpu/vexilon_gpu"
tool_outputs=()
smi_output=""
clinfo_output=""
usage() {
  sed -n 's/^# \{0,1\}//; /^Usage:/,/^Exit codes/p' "$0" | sed '$d' >&2
  exit 2
}
while [ $# -gt 0 ]; do
  case "$1" in
    --tool-output) [ $# -ge 2 ] || usage; tool_outputs+=("$2"); shift 2 ;;
    --smi-output) [ $# -ge 2 ] || usage; smi_output=$2; shift 2 ;;
    --clinfo-output) [ $# -ge 2 ] || usage; clinfo_output=$2; shift 2 ;;
    -h | --help | -*) usage ;;
    *) tool=$1; shift ;;
  esac
done
case ${#tool_outputs[@]} in 0 | 1 | 3) ;; *) usage ;; esac
tool_output=${tool_outputs[0]:-}
# The tool runs in an empty directory of its own.
case "$tool" in /*) ;; *) tool=$PWD/$tool ;; esac

lacks() {
  echo "gpu-check: $*" >&2
  exit 3
}

# Whether the dynamic loader finds a library by its soname.
has_library() {
  local dir
  if { /sbin/ldconfig -p 2>/dev/null || ldconfig -p 2>/dev/null; } | grep -q "^[[:space:]]*$1 "; then
    return 0
  fi
  IFS=: read -r -a dirs <<<"${LD_LIBRARY_PATH:-}"
  for dir in "${dirs[@]}" /usr/lib/x86_64-linux-gnu /lib/x86_64-linux-gnu /usr/lib64 /usr/lib; do
    [ -n "$dir" ] && [ -e "$dir/$1" ] && return 0
  done
  return 1
}

# Whether any of the files (or the files in any of the directories) mentions
# the pattern; what glvnd and the ICD loader read to find a vendor.
mentions() {
  local pattern=$1 place
  shift
  for place in "$@"; do
    if [ -d "$place" ]; then
      grep -qsi -e "$pattern" "$place"/* && return 0
    elif [ -f "$place" ]; then
      case "$place" in *"$pattern"*) return 0 ;; esac
      grep -qsi -e "$pattern" "$place" && return 0
    fi
  done
  return 1
}

split_path() { tr ':' '\n' <<<"$1"; }

# The GPUs, as their driver sees them.
if [ -n "$smi_output" ]; then
  smi=$(cat "$smi_output") || exit 2
else
  command -v nvidia-smi >/dev/null || lacks "no NVIDIA GPU: nvidia-smi is not installed (no NVIDIA driver)"
  smi=$(nvidia-smi --query-gpu=pci.bus_id,pci.device_id,memory.total,driver_version,uuid,name \
    --format=csv,noheader,nounits 2>&1) || lacks "no NVIDIA GPU: nvidia-smi failed: $smi"
fi
trim() { sed 's/^[[:space:]]*//; s/[[:space:]]*$//' <<<"$1"; }
# One row per GPU in bus order: "key|bus id|device|memory|driver|uuid|name", the
# key the address as numbers (nvidia-smi writes "00000000:0A:00.0").
rows=()
while IFS=, read -r bus pci memory driver uuid name; do
  bus=$(trim "$bus")
  [ -n "$bus" ] || continue
  IFS=':.' read -r domain bus_number device function <<<"$bus"
  key=$(printf '%08x%02x%02x%x' "0x$domain" "0x$bus_number" "0x$device" "0x$function" 2>/dev/null) || key="~$bus"
  pci=$(trim "$pci")
  if [[ "$pci" =~ ^0[xX][0-9A-Fa-f]{8}$ ]]; then
    pci=$(((pci >> 16) & 0xFFFF))
  else
    pci="(unreadable: $pci)"
  fi
  memory=$(trim "${memory%MiB*}")
  rows+=("$key|$bus|$pci|$memory|$(trim "$driver")|$(trim "$uuid")|$(trim "${name:-}")")
done < <(tr -d '\r' <<<"$smi")
[ ${#rows[@]} -gt 0 ] || lacks "no NVIDIA GPU: nvidia-smi lists none"
mapfile -t rows < <(printf '%s\n' "${rows[@]}" | sort)
row_field() { cut -d'|' -f"$2" <<<"$1"; }
# The first value of field $3 in the block tagged $2 of report $1, without the quotes of a text.
field() { sed -n "s/^$2\.$3=//p" <<<"$1" | sed -n '1{s/^"\(.*\)"$/\1/;p}'; }

# What the tool needs of the machine, before blaming the tool.
if [ -z "$tool_output" ]; then
  has_library libEGL.so.1 || lacks "no EGL: libEGL.so.1 is not installed"
  if [ -n "${__EGL_VENDOR_LIBRARY_FILENAMES:-}" ]; then
    mapfile -t egl_vendors < <(split_path "$__EGL_VENDOR_LIBRARY_FILENAMES")
    egl_where="\$__EGL_VENDOR_LIBRARY_FILENAMES"
  elif [ -n "${__EGL_VENDOR_LIBRARY_DIRS:-}" ]; then
    mapfile -t egl_vendors < <(split_path "$__EGL_VENDOR_LIBRARY_DIRS")
    egl_where="\$__EGL_VENDOR_LIBRARY_DIRS"
  else
    egl_vendors=(/etc/glvnd/egl_vendor.d /usr/share/glvnd/egl_vendor.d)
    egl_where="/usr/share/glvnd/egl_vendor.d"
  fi
  mentions nvidia "${egl_vendors[@]}" ||
    lacks "EGL lists no NVIDIA device: the NVIDIA EGL vendor file is missing from $egl_where (common in containers)"
fi
if [ -z "$tool_output" ] || [ -z "$clinfo_output" ]; then
  has_library libOpenCL.so.1 || lacks "no OpenCL ICD loader: libOpenCL.so.1 is not installed"
  if [ -n "${OCL_ICD_VENDORS:-}" ]; then
    icd_places=("$OCL_ICD_VENDORS")
  else
    icd_places=(/etc/OpenCL/vendors)
  fi
  mentions nvidia "${icd_places[@]}" || lacks "no NVIDIA OpenCL ICD: no nvidia .icd in ${icd_places[*]}"
fi

# The tool's report of run $1 (0 plain, 1 reversed, 2 one), under the
# environment given after it.
report_of() {
  local run=$1 workdir status report
  shift
  if [ -n "$tool_output" ]; then
    report=$(cat "${tool_outputs[$run]:-$tool_output}") || exit 2
  else
    [ -x "$tool" ] || { echo "gpu-check: no tool at $tool (build it on a machine with the packages and bring the build)" >&2; exit 2; }
    # An empty working directory: no handshake file can steer the run.
    workdir=$(mktemp -d) || exit 2
    report=$(cd "$workdir" && env -u DISPLAY -u WAYLAND_DISPLAY "$@" "$tool" --qz4)
    status=$?
    rmdir "$workdir"
    [ "$status" -eq 0 ] || { echo "gpu-check: $tool --qz4 ($*) exited with $status" >&2; exit 2; }
  fi
  tr -d '\r' <<<"$report"
}

# The NVIDIA OpenCL platform ("OpenCL 3.0 CUDA 12.2.149").
clinfo_text=""
if [ -n "$clinfo_output" ]; then
  clinfo_text=$(cat "$clinfo_output") || exit 2
elif command -v clinfo >/dev/null; then
  clinfo_text=$(clinfo 2>/dev/null)
else
  clinfo_text="absent"
fi
if [ "$clinfo_text" != "absent" ]; then
  platform=$(tr -d '\r' <<<"$clinfo_text" |
    sed -n 's/^[[:space:]]*Platform Version[[:space:]]\{1,\}\(OpenCL .* CUDA .*\)$/\1/p' | sed -n '1{s/[[:space:]]*$//;p}')
  if [ -n "$platform" ]; then
    version=${platform#OpenCL }
    cl_ocl=${version%% CUDA *}
    cl_cuda=${version#* CUDA }
  else
    cl_ocl="(no NVIDIA platform)"
    cl_cuda="(no NVIDIA platform)"
  fi
fi

mismatches=0
row() {
  local result=ok
  [ "$3" = "$4" ] || { result=MISMATCH; mismatches=$((mismatches + 1)); }
  printf '%-10s %-14s %-26s %-26s %s\n' "$1" "$2" "${3:-(none)}" "${4:-(none)}" "$result"
}

# Compares the NVIDIA blocks of a report, in order, with the rows given.
check_run() {
  local run=$1 report=$2 gpus tag index block=0 expected
  shift 2
  gpus=$(sed -n 's/^NumGPUs=//p' <<<"$report" | sed -n 1p)
  case "$gpus" in
    "" | *[!0-9]*) echo "gpu-check: the $run run's output has no NumGPUs line" >&2; exit 2 ;;
    0) lacks "the tool reports NumGPUs=0: EGL offers no device" ;;
  esac
  local tags=()
  for ((index = 0; index < gpus; index++)); do
    tag="gpu\\[$index\\]"
    [ "$gpus" -gt 1 ] || tag=gpu
    [ "$(field "$report" "$tag" VendorID)" != 4318 ] || tags+=("$tag")
  done
  row "$run" "NVIDIA blocks" "${#tags[@]}" "$#"
  [ "${#tags[@]}" -eq "$#" ] || return
  for expected in "$@"; do
    tag=${tags[$block]}
    block=$((block + 1))
    echo "$run: GPU $(row_field "$expected" 2) $(row_field "$expected" 7); tool: $(field "$report" "$tag" Renderer)"
    row "$run" VendorID "$(field "$report" "$tag" VendorID)" 4318
    row "$run" RendererID "$(field "$report" "$tag" RendererID)" "$(row_field "$expected" 3)"
    row "$run" MemoryMB "$(field "$report" "$tag" MemoryMB)" "$(row_field "$expected" 4)"
    row "$run" DriverVersion "$(field "$report" "$tag" DriverVersion)" "$(row_field "$expected" 5)"
    if [ "$clinfo_text" != "absent" ]; then
      row "$run" OCLVersion "$(field "$report" "$tag" OCLVersion)" "$cl_ocl"
      row "$run" CUDAVersion "$(field "$report" "$tag" CUDAVersion)" "$cl_cuda"
    fi
  done
}

uuids=()
for expected in "${rows[@]}"; do uuids=("$(row_field "$expected" 6)" "${uuids[@]}"); done
reversed=$(IFS=,; echo "${uuids[*]}")
last=${rows[${#rows[@]} - 1]}

printf '%-10s %-14s %-26s %-26s %s\n' run field tool driver result
[ "$clinfo_text" != "absent" ] || echo "(clinfo is not installed: OCLVersion and CUDAVersion not compared)"
check_run plain "$(report_of 0)" "${rows[@]}"
check_run reversed "$(report_of 1 CUDA_DEVICE_ORDER=FASTEST_FIRST CUDA_VISIBLE_DEVICES="$reversed")" "${rows[@]}"
one=$(report_of 2 CUDA_VISIBLE_DEVICES="$(row_field "$last" 6)")
# EGL may list every GPU or only the one CUDA sees.
if [ "$(grep -c '^gpu\(\[[0-9]*\]\)\{0,1\}\.VendorID=4318$' <<<"$one")" -eq 1 ]; then
  check_run one "$one" "$last"
else
  check_run one "$one" "${rows[@]}"
fi
if [ "$mismatches" -gt 0 ]; then
  echo "gpu-check: $mismatches mismatch(es)" >&2
  exit 1
fi
echo "gpu-check: all rows ok"
