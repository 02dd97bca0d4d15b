#!/usr/bin/env bash
# The metrics of the real tool for Prometheus' own checker and collector.
#   prometheus_test.sh TOOL FIXTURES                      the native tool and tests/fixtures' build
#   prometheus_test.sh TOOL CRASHING TESTBED-SCRIPT DIR   the exe, and vexilon_crashing_displays.exe, under Wine
# promtool accepts every run's metrics (fault-free, a lost device, a failed
# block, a driver string of quotes, backslashes and control bytes; its line
# breaks are spaces in the report already); natively,
# node_exporter's textfile collector serves what --output wrote, and an
# --output that cannot be written fails the run and leaves the old file whole.
set -euo pipefail
tool=$1
scratch=$(mktemp -d)
exporter=
trap '[ -z "$exporter" ] || kill "$exporter"; rm -rf "$scratch"' EXIT
export VEXILON_FAULT_RECORD=0
# A sanitizer build takes the preloaded stand-in driver; a crash is the probe's to report.
export ASAN_OPTIONS=${ASAN_OPTIONS:-}:verify_asan_link_order=0:handle_segv=0
fail() { echo "prometheus test: $*" >&2; exit 1; }

check() {  # NAME EXPECTED-LINE TOOL-AND-ARGUMENTS...: the run's metrics pass promtool and hold the line
  local name=$1 line=$2 && shift 2
  "$@" --qz4 --format=prometheus --output="$scratch/$name.prom" 2>"$scratch/$name.err" || fail "$name: exit $?"
  promtool check metrics <"$scratch/$name.prom" || fail "$name: promtool: $(cat "$scratch/$name.prom")"
  grep -qxF "$line" "$scratch/$name.prom" || fail "$name: no $line in $(cat "$scratch/$name.prom")"
}

# --output where no file can be written (a folder that is a file, and the
# targets given): exit 2 and the reason. Tests run as root, whom permission
# bits do not stop.
unwritable() {  # TARGET...
  : >"$scratch/file"
  for target in "$scratch/file/vexilon_gpu.prom" "$@"; do
    status=0 && "${run[@]}" --qz4 --format=prometheus --output="$target" 2>"$scratch/err" || status=$?
    [ "$status" -eq 2 ] && grep -q "^cannot write $target: " "$scratch/err" || fail "--output=$target: exit $status, $(cat "$scratch/err")"
  done
}

if [ $# -eq 4 ]; then
  run=(bash "$3" "$4" exec "$tool")
  check plain 'vexilon_gpu_probe_failures{what="listing"} 0' "${run[@]}"
  VEXILON_CRASHING_DISPLAYS=1 check lost 'vexilon_gpu_probe_failures{what="listing"} 1' bash "$3" "$4" exec "$2"
  unwritable
  echo "prometheus test (Windows): passed"
  exit 0
fi
run=("$tool")

fault=$2/glfault/libVexilonGLFault.so
check plain 'vexilon_gpu_lost_devices 0' "$tool"
LD_PRELOAD=$fault VEXILON_GL_TWO_GPUS=1 VEXILON_GL_FAULT=crash:string:1 check lost 'vexilon_gpu_lost_devices 1' "$tool"
LD_PRELOAD=$fault VEXILON_GL_TWO_GPUS=1 VEXILON_GL_FAULT=crash:0:1f01 \
  check block 'vexilon_gpu_probe_failures{what="block"} 1' "$tool"
# The software device's Mesa release, as its own report names it.
mesa=$("$tool" --qz4 | sed -n 's/^gpu\.DriverVersion="\(.*\)"$/\1/p')
LD_PRELOAD=$fault VEXILON_GL_RENDERER=$'say "hi"\\ \x01\x1b\r\n\x7f\xff\xc3\xa9' \
  check strings "vexilon_gpu_info{gpu=\"0\",renderer=\"say \\\"hi\\\"\\\\ ��  ��é\",vendor=\"Mesa/X.org\",driver=\"swrast\",driver_version=\"$mesa\",opengl_version=\"3.0\"} 1" "$tool"

unwritable /proc/vexilon_gpu.prom
# No byte can be written (a file size limit of 0, its signal ignored): the old file stays whole.
printf 'old\n' >"$scratch/old.prom"
status=0 && err=$( (trap '' XFSZ && ulimit -f 0 && exec "$tool" --qz4 --output="$scratch/old.prom") 2>&1) || status=$?
# (Nor can a coverage build's counts, which say so too.)
err=$(grep -v '^libgcov profiling error:' <<<"$err" || true)
[ "$status" -eq 2 ] && [ "$(cat "$scratch/old.prom")" = old ] && [ "$err" = "cannot write $scratch/old.prom: File too large" ] ||
  fail "a failed write: exit $status, $err, the old file: $(cat "$scratch/old.prom")"

# node_exporter on a free loopback port with only the textfile collector.
mkdir "$scratch/textfile"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/prometheus-node-exporter --web.listen-address="127.0.0.1:$port" --collector.disable-defaults \
  --collector.textfile --collector.textfile.directory="$scratch/textfile" >"$scratch/exporter.log" 2>&1 &
exporter=$!
# A new file renamed over the old one: a reader of the old file still reads it whole.
printf 'old\n' >"$scratch/textfile/vexilon_gpu.prom" && exec 3<"$scratch/textfile/vexilon_gpu.prom"
"$tool" --qz4 --format=prometheus --output="$scratch/textfile/vexilon_gpu.prom"
[ "$(cat <&3)" = old ] || fail "the file was written in place" && exec 3<&-
"$tool" --qz4 >"$scratch/report.txt"
size=$(sed -n 's/^gpu\.RectTextureSize=//p' "$scratch/report.txt")
python3 - "$port" "$size" <<'PY' || fail "node_exporter: $(cat "$scratch/exporter.log")"
import sys, time, urllib.request
for attempt in range(100):
    try:
        metrics = urllib.request.urlopen(f"http://127.0.0.1:{sys.argv[1]}/metrics", timeout=5).read().decode()
        break
    except OSError:
        time.sleep(0.1)
lines = metrics.splitlines()
for wanted in ['node_textfile_scrape_error 0', 'vexilon_gpu_gpus 1',
               f'vexilon_gpu_rectangle_texture_size{{gpu="0"}} {sys.argv[2]}']:
    assert wanted in lines, (wanted, metrics)
PY
echo "prometheus test: passed"
