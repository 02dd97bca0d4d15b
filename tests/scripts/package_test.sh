#!/usr/bin/env bash
# The packages of scripts/package.sh unpacked: the deb's tool and the ZIP's exe
# (under Wine) give their version, a report, and JSON their schema accepts;
# the deb's systemd units pass systemd-analyze verify.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
testbed=(bash "$root/scripts/testbed/testbed.sh" "$root/build/windows/testbed")
cd "$(mktemp -d)"
trap '"${testbed[@]}" stop; rm -rf "$PWD"' EXIT

check() {  # NAME DOCS TOOL...: the tool, with any runner before it
  local name=$1 docs=$2 && shift 2
  "$@" --version | tr -d '\r' | grep -Eqx 'vexilon_gpu [0-9]+\.[0-9]+\.[0-9]+ \(commit [0-9a-f]{12}(-dirty)?\)'
  "$@" --qz4 >"$name.txt" && grep -q '^vexilonStart="' "$name.txt"
  "$@" --qz4 --app=Lumatrope --format=json >"$name.json"
  python3 -c 'import json, sys, jsonschema; jsonschema.validate(*map(json.load, map(open, sys.argv[1:])))' "$name.json" "$docs/report.schema.json"
  test -s "$docs/README.md" && test -s "$docs/report-reference.md" && echo "package test: $name passed"
}

dpkg -x "${1:-$root/build/packages}"/vexilon-gpu_*_amd64.deb deb && test -s deb/usr/share/man/man1/vexilon_gpu.1.gz
# The metrics job's units, checked by systemd with the unpacked tool in ExecStart; a warning fails too.
units=deb/usr/lib/systemd/system/vexilon-gpu-metrics && mkdir verify
sed "s|=/usr/bin/vexilon_gpu |=$PWD/deb/usr/bin/vexilon_gpu |" "$units.service" >verify/vexilon-gpu-metrics.service
cp "$units.timer" verify/ && grep -q "=$PWD/deb/usr/bin/vexilon_gpu --qz4 --format=prometheus" verify/*.service
warnings=$(systemd-analyze verify --man=no verify/vexilon-gpu-metrics.service verify/vexilon-gpu-metrics.timer 2>&1)
[ -z "$warnings" ] || { echo "$warnings" >&2; exit 1; }
check deb deb/usr/share/doc/vexilon_gpu deb/usr/bin/vexilon_gpu
cmake -E tar xf "${1:-$root/build/packages}"/vexilon_gpu-*-win64.zip
check zip vexilon_gpu-*-win64/share/doc/vexilon_gpu "${testbed[@]}" exec vexilon_gpu-*-win64/bin/vexilon_gpu.exe
