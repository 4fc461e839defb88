#!/usr/bin/env bash
# The load generator still works: 50 connections and 20 in TIME_WAIT come up,
# corvenna-list sees both ends of each with the load generator as owner, and
# the load generator stops by itself. Usage: loadgen_smoke_test.sh LOADGEN LISTER
set -uo pipefail
loadgen="$1"
lister="$2"
work="$(mktemp -d)"
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- load generator stderr:"; cat "$work/err"
  exit 1
}

"$loadgen" --connections 50 --time-wait 20 --seconds 5 >"$work/out" 2>"$work/err" &
pid=$!

for _ in $(seq 300); do
  grep -qx ready "$work/out" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
grep -qx ready "$work/out" || fail "no 'ready' within 30 s"

"$lister" >"$work/table" || fail "corvenna-list exited with $?"

# Columns: local address, local port, remote address, remote port, pid, state, path.
held="$(awk -F'\t' '$6 == "已建立" && ($1 == "127.1.0.1" || $3 == "127.1.0.1") &&
                    $7 ~ /\/corvenna-loadgen$/' "$work/table" | wc -l)"
waiting="$(awk -F'\t' '$6 == "延时等待" && $1 == "127.255.0.1"' "$work/table" | wc -l)"
echo "established rows owned by the load generator: $held; TIME_WAIT rows: $waiting"
[ "$held" -ge 100 ] || fail "expected at least 100 established rows, saw $held"
[ "$waiting" -ge 20 ] || fail "expected at least 20 TIME_WAIT rows, saw $waiting"

# It ends by itself: 5 s of holding, then every connection is reset.
for _ in $(seq 300); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running 30 s after ready"
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "exited with $status"
left="$(ss -Htan state established src 127.1.0.1 | wc -l)"
[ "$left" -eq 0 ] || fail "$left connections from 127.1.0.1 outlived it"
echo "PASS"
