#!/usr/bin/env bash
# The window program writes nothing: under strace, from start until Esc
# ends it, no file is opened for writing, created, renamed or removed.
# usage: window_writes_nothing.sh <corvenna> <work dir>
set -euo pipefail
corvenna=$1
work=$2
mkdir -p "$work"
rm -rf "${work:?}"/*

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# A desktop session provides the runtime directory; without it Qt would make one.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

# LeakSanitizer cannot run under ptrace; the sanitized build's other tests cover leaks.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" strace -f -qq -o "$work/trace" \
  -e trace=open,openat,openat2,creat,mkdir,mkdirat,unlink,unlinkat,rename,renameat,renameat2,truncate,ftruncate \
  "$corvenna" &
app=$!
pids+=($app)
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'Corvenna Tallowmere' | head -n1)
[ -n "$window" ] || { echo "FAIL the window did not appear"; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$window"
xdotool key Escape
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || { echo "FAIL exit code $status"; exit 1; }

# /dev/null opened read-write is no file of ours, and a call that failed
# (Qt makes sure of its runtime directory with a mkdir that finds it there)
# wrote nothing; everything else must be read-only.
writes=$(grep -E 'O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|creat\(|mkdir|unlink|rename|truncate' "$work/trace" |
  grep -v '"/dev/null"' | grep -vE '= -1 E[A-Z]+' || true)
if [ -n "$writes" ]; then
  echo "FAIL the window wrote:"
  echo "$writes"
  exit 1
fi
echo "ok: $(grep -c 'open' "$work/trace") opens, none for writing"
