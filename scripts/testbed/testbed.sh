#!/usr/bin/env bash
# The Wine test bed of one build tree: a private Wine prefix (made once), an
# Xvfb display, and a persistent wineserver.
#
#   testbed.sh DIR start        start Xvfb and wineserver, make the prefix if needed
#   testbed.sh DIR stop         stop both again
#   testbed.sh DIR exec CMD...  run a Windows program on the test bed (starts it if needed);
#                               its output is passed on once it has ended
#   testbed.sh DIR run CMD...   the same with the output passed straight through
#   testbed.sh DIR reg ARGS...  run Wine's reg.exe on the test bed
#
# DIR holds the state: prefix/, display, xvfb.pid, glxinfo*.txt, testbed.log.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 DIR start|stop|exec|run|reg [ARGS...]" >&2
  exit 64
fi

TESTBED_DIR=$(mkdir -p "$1" && cd "$1" && pwd)
command=$2
shift 2

export WINEPREFIX="$TESTBED_DIR/prefix"
export WINEDEBUG=-all
export WINEARCH=win64

xvfb_running() {
  [ -f "$TESTBED_DIR/xvfb.pid" ] && kill -0 "$(cat "$TESTBED_DIR/xvfb.pid")" 2>/dev/null
}

start_xvfb() {
  rm -f "$TESTBED_DIR/display"
  # -displayfd picks a free display number and writes it to the given descriptor.
  setsid Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    5>"$TESTBED_DIR/display.tmp" 9>&- </dev/null >"$TESTBED_DIR/xvfb.log" 2>&1 &
  echo $! >"$TESTBED_DIR/xvfb.pid"
  for _ in $(seq 1 100); do
    if [ -s "$TESTBED_DIR/display.tmp" ]; then
      echo ":$(tr -d '[:space:]' <"$TESTBED_DIR/display.tmp")" >"$TESTBED_DIR/display"
      rm -f "$TESTBED_DIR/display.tmp"
      return 0
    fi
    sleep 0.1
  done
  echo "testbed: Xvfb did not start, see $TESTBED_DIR/xvfb.log" >&2
  return 1
}

# Runs in a subshell: its redirections must not outlive it.
start() (
  exec 9>"$TESTBED_DIR/lock"
  flock 9
  # Wine's servers outlive this script and hold on to whatever output they
  # inherit: they must never get the caller's pipes (a test runner would wait
  # for them forever).
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "testbed: making the Wine prefix $WINEPREFIX (once per build tree)" >&2
  fi
  exec </dev/null >>"$TESTBED_DIR/testbed.log" 2>&1
  if ! xvfb_running; then
    start_xvfb
  fi
  export DISPLAY
  DISPLAY=$(cat "$TESTBED_DIR/display")
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # No Mono or Gecko: nothing here needs them and there is no network to fetch them.
    WINEDLLOVERRIDES="mscoree=;mshtml=" wineboot -i 9>&-
    # A program that faults must end, not wait in Wine's crash dialog (Wine
    # does not honour SEM_NOGPFAULTERRORBOX).
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f 9>&-
    wineserver -w
  fi
  # One persistent server for the whole session, so each program starts quickly.
  setsid wineserver -p 9>&- || true  # already running is fine
  glxinfo -B >"$TESTBED_DIR/glxinfo.txt" 2>&1 || true
  glxinfo -l >"$TESTBED_DIR/glxinfo-limits.txt" 2>&1 || true
)

stop() {
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
  if xvfb_running; then
    kill "$(cat "$TESTBED_DIR/xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$TESTBED_DIR/xvfb.pid" "$TESTBED_DIR/display"
}

ensure_started() {
  if ! xvfb_running || [ ! -f "$WINEPREFIX/system.reg" ]; then
    start
  fi
  export DISPLAY
  DISPLAY=$(cat "$TESTBED_DIR/display")
  export VEXILON_TESTBED="Z:$TESTBED_DIR"
}

case "$command" in
  start) start ;;
  stop) stop ;;
  exec)
    ensure_started
    # Wine starts helper processes (services, the desktop) on demand, and they
    # inherit the Unix output descriptors of whoever started them. Going
    # through files keeps the caller's pipes out of their reach, so a runner
    # sees the end of output when the program ends.
    capture=$(mktemp -d "$TESTBED_DIR/exec.XXXXXX")
    status=0
    wine "$@" >"$capture/out" 2>"$capture/err" || status=$?
    cat "$capture/out"
    cat "$capture/err" >&2
    rm -rf "$capture"
    exit "$status"
    ;;
  run)
    ensure_started
    exec wine "$@"
    ;;
  reg)
    ensure_started
    exec wine reg "$@"
    ;;
  *)
    echo "testbed: unknown command $command" >&2
    exit 64
    ;;
esac
