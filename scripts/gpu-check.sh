#!/usr/bin/env bash
# Checks the native tool's report on a Linux machine with an NVIDIA GPU
# against the driver's own tools: runs `vexilon_gpu --qz4` (no X display) and
# compares its first GPU block with nvidia-smi's first GPU and with the NVIDIA
# OpenCL platform that clinfo lists, as a table of field, tool, driver and
# ok/MISMATCH:
#   VendorID       4318
#   RendererID     the PCI device id (upper 16 bits of nvidia-smi's pci.device_id)
#   MemoryMB       nvidia-smi's memory.total (MiB)
#   DriverVersion  nvidia-smi's driver_version
#   OCLVersion     "OpenCL 3.0 CUDA 12.2.149" gives 3.0 ...
#   CUDAVersion    ... and 12.2.149 (both rows skipped when clinfo is absent)
# It never builds or installs anything (such machines often reach no package
# registry): build the tool elsewhere and bring the build along.
#
# Usage: scripts/gpu-check.sh [options] [TOOL]
#   TOOL                  default build/linux/source/applications/vexilon_gpu/vexilon_gpu
#   --tool-output FILE    the tool's --qz4 output instead of running the tool
#   --smi-output FILE     output of `nvidia-smi --query-gpu=pci.device_id,memory.total,driver_version,name
#                         --format=csv,noheader,nounits` instead of running nvidia-smi
#   --clinfo-output FILE  output of `clinfo` instead of running it
# The overrides let the comparison run on a machine without the GPU; the
# checks of the machine are made only for what is really run.
# Exit codes: 0 all rows ok; 1 a mismatch; 2 usage, or the tool failed;
# 3 the machine lacks the GPU, EGL or the OpenCL ICD (said on standard error).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

tool="$root/build/linux/source/applications/vexilon_gpu/vexilon_gpu"
tool_output=""
smi_output=""
clinfo_output=""
usage() {
  sed -n 's/^# \{0,1\}//; /^Usage:/,/^Exit codes/p' "$0" | sed '$d' >&2
  exit 2
}
while [ $# -gt 0 ]; do
  case "$1" in
    --tool-output) [ $# -ge 2 ] || usage; tool_output=$2; shift 2 ;;
    --smi-output) [ $# -ge 2 ] || usage; smi_output=$2; shift 2 ;;
    --clinfo-output) [ $# -ge 2 ] || usage; clinfo_output=$2; shift 2 ;;
    -h | --help | -*) usage ;;
    *) tool=$1; shift ;;
  esac
done
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

# The GPU, as its driver sees it.
if [ -n "$smi_output" ]; then
  smi=$(cat "$smi_output") || exit 2
else
  command -v nvidia-smi >/dev/null || lacks "no NVIDIA GPU: nvidia-smi is not installed (no NVIDIA driver)"
  smi=$(nvidia-smi --query-gpu=pci.device_id,memory.total,driver_version,name --format=csv,noheader,nounits 2>&1) ||
    lacks "no NVIDIA GPU: nvidia-smi failed: $smi"
fi
smi=$(tr -d '\r' <<<"$smi" | sed -n '/[^[:space:]]/{p;q}')
[ -n "$smi" ] || lacks "no NVIDIA GPU: nvidia-smi lists none"
IFS=, read -r smi_pci smi_memory smi_driver smi_name <<<"$smi"
trim() { sed 's/^[[:space:]]*//; s/[[:space:]]*$//' <<<"$1"; }
smi_pci=$(trim "$smi_pci")
smi_memory=$(trim "${smi_memory%MiB*}")
smi_driver=$(trim "$smi_driver")
smi_name=$(trim "${smi_name:-}")
if [[ "$smi_pci" =~ ^0[xX][0-9A-Fa-f]{8}$ ]]; then
  smi_device=$(((smi_pci >> 16) & 0xFFFF))
else
  smi_device="(unreadable: $smi_pci)"
fi

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

# The tool's report.
if [ -n "$tool_output" ]; then
  report=$(cat "$tool_output") || exit 2
else
  [ -x "$tool" ] || { echo "gpu-check: no tool at $tool (build it on a machine with the packages and bring the build)" >&2; exit 2; }
  # An empty working directory: no handshake file can steer the run.
  workdir=$(mktemp -d) || exit 2
  report=$(cd "$workdir" && env -u DISPLAY -u WAYLAND_DISPLAY "$tool" --qz4)
  status=$?
  rmdir "$workdir"
  [ "$status" -eq 0 ] || { echo "gpu-check: $tool --qz4 exited with $status" >&2; exit 2; }
fi
report=$(tr -d '\r' <<<"$report")
gpus=$(sed -n 's/^NumGPUs=//p' <<<"$report" | sed -n 1p)
case "$gpus" in
  "") echo "gpu-check: the tool's output has no NumGPUs line" >&2; exit 2 ;;
  0) lacks "the tool reports NumGPUs=0: EGL offers no device" ;;
  1) tag='gpu' ;;
  *) tag='gpu\[0\]' ;;
esac
# The first value of a field in the first block, without the quotes of a text.
field() { sed -n "s/^$tag\.$1=//p" <<<"$report" | sed -n '1{s/^"\(.*\)"$/\1/;p}'; }

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
  [ "$2" = "$3" ] || { result=MISMATCH; mismatches=$((mismatches + 1)); }
  printf '%-14s %-26s %-26s %s\n' "$1" "${2:-(none)}" "${3:-(none)}" "$result"
}

echo "GPU 0: ${smi_name:-(no name)}; tool: $(field Renderer) (NumGPUs=$gpus)"
printf '%-14s %-26s %-26s %s\n' field tool driver result
row VendorID "$(field VendorID)" 4318
row RendererID "$(field RendererID)" "$smi_device"
row MemoryMB "$(field MemoryMB)" "$smi_memory"
row DriverVersion "$(field DriverVersion)" "$smi_driver"
if [ "$clinfo_text" = "absent" ]; then
  echo "(clinfo is not installed: OCLVersion and CUDAVersion not compared)"
else
  row OCLVersion "$(field OCLVersion)" "$cl_ocl"
  row CUDAVersion "$(field CUDAVersion)" "$cl_cuda"
fi
if [ "$(field VendorID)" = 0 ]; then
  echo "gpu-check: the tool reports the software device: EGL lists no NVIDIA device" >&2
fi
if [ "$mismatches" -gt 0 ]; then
  echo "gpu-check: $mismatches mismatch(es)" >&2
  exit 1
fi
echo "gpu-check: all rows ok"
