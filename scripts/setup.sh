#!/usr/bin/env bash
# Installs what building and testing vexilon_gpu needs, from Debian's packages.
# Idempotent, and silent when everything is already there.
set -euo pipefail

packages=(
  cmake
  gcc
  g++-mingw-w64-x86-64-posix
  wine
  wine64
  xvfb
  xauth
  libboost-dev
  libboost-date-time-dev
  googletest
  opencl-headers
  ocl-icd-libopencl1
  pocl-opencl-icd
  mesa-utils
  libgl1-mesa-dri
  # The native Linux build: glvnd's EGL and OpenGL with Mesa behind them,
  # libdrm, libpci with the PCI ids, the OpenCL ICD loader with PoCL.
  libegl-dev
  libgl-dev
  libegl-mesa0
  libdrm-dev
  libpci-dev
  pci.ids
  ocl-icd-opencl-dev
  clinfo
  pkg-config
  # The JSON report (header-only, also for the cross build), its schema check
  # in the tests, the manual page, and the Debian package's dependencies.
  nlohmann-json3-dev
  python3-jsonschema
  help2man
  dpkg-dev
  file
  # Vulkan's headers (the loader is loaded at run time), and Mesa's lavapipe
  # as a Vulkan device for the native tests and, through Wine, the Windows ones.
  libvulkan-dev
  mesa-vulkan-drivers
  # Line coverage (scripts/coverage.sh).
  gcovr
  # Prometheus' checker (promtool) and node_exporter for the metrics' tests;
  # the tests start the exporter themselves (no servers are left running).
  prometheus
  prometheus-node-exporter
  # Fuzzing with libFuzzer.
  clang-14
  libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${missing[*]}; run this script as root to install them" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
# An unreachable third-party source must not stop the install from Debian's own.
apt-get update -qq >&2 || echo "setup: apt-get update reported errors; trying the install anyway" >&2
# Servers that packages would start (Prometheus, node_exporter) stay stopped:
# a policy-rc.d that denies every start for the install, unless one is there.
policy=
if [ ! -e /usr/sbin/policy-rc.d ]; then
  policy=/usr/sbin/policy-rc.d
  printf '#!/bin/sh\nexit 101\n' >"$policy" && chmod 755 "$policy"
fi
status=0
apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2 || status=$?
[ -z "$policy" ] || rm -f "$policy"
if [ -d /run/systemd/system ]; then
  systemctl disable --now --quiet prometheus.service prometheus-node-exporter.service 2>/dev/null || true
fi
exit "$status"
