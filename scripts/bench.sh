#!/usr/bin/env bash
# The benchmark: corvenna-list against ss, netstat and lsof, and the window's
# time to show a full list, at N established loopback connections (2N
# sockets) held by corvenna-loadgen. Prints one table of medians, peak memory,
# rows seen and ratios to corvenna-list, then the micro-benchmarks.
#
#   scripts/bench.sh                 # N = 1000 10000 100000
#   scripts/bench.sh 1000 10000      # chosen sizes
#
# Environment: RUNS (runs per tool, default 5), SLOW_RUNS (for N >= 50000,
# default 3), BUILD_DIR (default build/linux), WIN_EXE (the Windows window,
# default build/win64/src/window/win32/corvenna.exe), MICRO=0 to skip the
# micro-benchmarks, WINDOW=0 to skip the windows, WINE_MAX_N to run the
# Windows window under Wine only up to that N (it takes minutes at 100,000).
set -uo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(1000 10000 100000)
for n in "${sizes[@]}"; do
  [[ "$n" =~ ^[0-9]+$ ]] && [ "$n" -ge 1 ] && [ "$n" -le 1000000 ] ||
    { echo "bench: a size is a whole number from 1 to 1000000, not '$n'" >&2; exit 2; }
done
runs="${RUNS:-5}"
slow_runs="${SLOW_RUNS:-3}"
build="${BUILD_DIR:-build/linux}"
win_exe="${WIN_EXE:-build/win64/src/window/win32/corvenna.exe}"
# The Windows window runs in a Wine prefix of its own, made on first use.
export CORVENNA_WINEPREFIX="${CORVENNA_WINEPREFIX:-$root/build/bench-wineprefix}"

bash scripts/setup.sh >/dev/null || { echo "bench: setup failed" >&2; exit 1; }
echo "== build ($build)"
nice cmake --preset linux -B "$build" >/dev/null || exit 1
targets=(corvenna-list corvenna-loadgen)
[ -f src/window/qt/CMakeLists.txt ] && targets+=(corvenna)
nice cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null || exit 1
# The micro-benchmarks are optional: whatever of them builds is run.
nice cmake --build "$build" -j2 --target corvenna_listing_bench >/dev/null 2>&1
nice cmake --build "$build" -j2 --target corvenna_window_bench >/dev/null 2>&1

lister="$root/$build/src/cli/corvenna-list"
loadgen="$root/$build/bench/corvenna-loadgen"
window="$root/$build/src/window/qt/corvenna"

work="$(mktemp -d)"
loadgen_pid=
xvfb_pid=
cleanup() {
  [ -d "$CORVENNA_WINEPREFIX" ] && WINEPREFIX="$CORVENNA_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null
  [ -n "$loadgen_pid" ] && kill "$loadgen_pid" 2>/dev/null && wait "$loadgen_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

now_ns() { date +%s%N; }

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Runs one command once, output piped to a line counter, and appends
# "seconds peak_kib lines" to the file $1.
measure_once() {
  local into="$1"; shift
  local start end lines
  start="$(now_ns)"
  lines="$(/usr/bin/time -f %M -o "$work/mem" "$@" 2>/dev/null | wc -l)"
  end="$(now_ns)"
  echo "$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", (e - s) / 1e9 }') $(tail -n1 "$work/mem") $lines" >>"$into"
}

start_loadgen() {
  local n="$1"
  "$loadgen" --connections "$n" --seconds 3600 >"$work/loadgen.out" 2>"$work/loadgen.err" &
  loadgen_pid=$!
  # Its own setup limit is 30 s plus a second per 2000 connections.
  local limit=$(( (40 + n / 2000) * 10 ))
  for _ in $(seq "$limit"); do
    grep -qx ready "$work/loadgen.out" && { cat "$work/loadgen.err" >&2; return 0; }
    kill -0 "$loadgen_pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$work/loadgen.err" >&2
  return 1
}

stop_loadgen() {
  kill "$loadgen_pid" 2>/dev/null
  wait "$loadgen_pid" 2>/dev/null
  loadgen_pid=
}

start_xvfb() {
  local display
  for display in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      if xdpyinfo -display ":$display" >/dev/null 2>&1; then
        export DISPLAY=":$display"
        return 0
      fi
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  done
  return 1
}

# Ends the program that /usr/bin/time ($1) runs, then time itself.
end_timed() {
  local child
  for child in $(pgrep -P "$1"); do kill "$child" 2>/dev/null; done
  kill "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# Starts a window program and waits (at most $limit seconds) until a window
# with the caption is mapped, woken by the X server's MapNotify events
# rather than by polling, which would steal the processor being measured.
# Then closes it with Esc and waits for its end. Prints "seconds peak_kib",
# or "timeout".
time_window() {
  local limit="$1"; shift
  local start end wid pid xev_pid line deadline left
  rm -f "$work/xev"
  mkfifo "$work/xev"
  stdbuf -oL xev -root -event substructure >"$work/xev" 2>/dev/null &
  xev_pid=$!
  exec 3<"$work/xev"
  sleep 0.2  # xev has selected its events once it has started
  start="$(now_ns)"
  /usr/bin/time -f %M -o "$work/wmem" "$@" >/dev/null 2>&1 &
  pid=$!
  wid=
  deadline=$(( $(date +%s) + limit ))
  for _ in $(seq 100000); do
    left=$(( deadline - $(date +%s) ))
    [ "$left" -gt 0 ] || break
    read -r -t "$left" -u 3 line || break
    case "$line" in
      MapNotify*)
        wid="$(xdotool search --onlyvisible --name 'Corvenna Tallowmere' 2>/dev/null | head -n1)"
        [ -n "$wid" ] && break ;;
    esac
  done
  end="$(now_ns)"
  kill "$xev_pid" 2>/dev/null
  wait "$xev_pid" 2>/dev/null
  exec 3<&-
  if [ -z "$wid" ]; then
    end_timed "$pid"
    echo timeout
    return
  fi
  xdotool key --window "$wid" Escape 2>/dev/null
  for _ in $(seq 3000); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.01
  done
  end_timed "$pid"
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f ", (e - s) / 1e9 }'
  tail -n1 "$work/wmem"
}

# A tool's header lines, not counted as rows.
header_lines() {
  case "$1" in
    netstat) echo 2 ;;
    *) echo 1 ;;
  esac
}

wine_warm=0
results="$work/results"
: >"$results"
echo "== load before: $(uptime)"
for n in "${sizes[@]}"; do
  echo "== N = $n connections ($((2 * n)) sockets)"
  start_loadgen "$n" || { echo "bench: the load generator did not come up for N = $n" >&2; exit 1; }
  count="$runs"
  [ "$n" -ge 50000 ] && count="$slow_runs"
  have_display=0
  if [ "${WINDOW:-1}" != 0 ] && { [ -n "${DISPLAY:-}" ] || start_xvfb; }; then have_display=1; fi
  limit=$(( 60 + n / 500 ))
  # Round by round, every program once per round, so a change in the
  # machine's other load falls on all of them alike.
  tools=("corvenna-list" "ss -tanp" "netstat -tanp" "lsof -nP -iTCP" "ss -tan")
  for i in "${!tools[@]}"; do : >"$work/runs.$i"; done
  : >"$work/wruns"
  for round in $(seq "$count"); do
    for i in "${!tools[@]}"; do
      case "${tools[$i]}" in
        corvenna-list) measure_once "$work/runs.$i" "$lister" ;;
        *) measure_once "$work/runs.$i" ${tools[$i]} ;;
      esac
    done
    if [ "$have_display" = 1 ] && [ -x "$window" ]; then
      time_window "$limit" "$window" >>"$work/wruns"
    fi
    echo "  round $round of $count done"
  done
  lister_s="$(awk '{ print $1 }' "$work/runs.0" | median)"
  for i in "${!tools[@]}"; do
    tool="${tools[$i]}"
    seconds="$(awk '{ print $1 }' "$work/runs.$i" | median)"
    peak="$(awk '{ print $2 / 1024 }' "$work/runs.$i" | median)"
    rows="$(awk -v h="$(header_lines "${tool%% *}")" '{ print $3 - h }' "$work/runs.$i" | sort -n | head -n1)"
    echo "$n|$tool|$seconds|$peak|$rows|$lister_s|$count" >>"$results"
    printf '  %-16s %8.3f s  %7.1f MiB  %7d rows\n' "$tool" "$seconds" "$peak" "$rows"
  done
  if [ -s "$work/wruns" ]; then
    if grep -q timeout "$work/wruns"; then
      echo "$n|corvenna (Qt window)|timeout|-|-|$lister_s|$count" >>"$results"
    else
      echo "$n|corvenna (Qt window)|$(awk '{ print $1 }' "$work/wruns" | median)|$(awk '{ print $2 / 1024 }' "$work/wruns" | median)|all|$lister_s|$count" >>"$results"
    fi
  fi
  if [ "$have_display" = 1 ]; then
    if [ ! -f "$win_exe" ]; then
      echo "  (no $win_exe: the Windows window is not built, skipped)"
    elif [ "$n" -gt "${WINE_MAX_N:-1000000}" ]; then
      echo "  (the Windows window under Wine is skipped above WINE_MAX_N=$WINE_MAX_N)"
    else
      # One run for reference, after one unmeasured start that readies the
      # Wine prefix; Wine's own start-up is much of what is left.
      if [ "$wine_warm" = 0 ]; then
        time_window 600 bash cmake/wine-run.sh "$win_exe" >/dev/null
        wine_warm=1
      fi
      w="$(time_window 900 bash cmake/wine-run.sh "$win_exe")"
      if [ "$w" = timeout ]; then
        echo "$n|corvenna.exe (Wine)|timeout|-|-|$lister_s|1" >>"$results"
      else
        echo "$n|corvenna.exe (Wine)|${w% *}|$(awk -v k="${w#* }" 'BEGIN { print k / 1024 }')|all|$lister_s|1" >>"$results"
      fi
    fi
  fi

  if [ "${MICRO:-1}" != 0 ] && [ "$n" = "${sizes[-1]}" ]; then
    echo "== micro-benchmarks, with the load of N = $n still up"
    for b in corvenna_listing_bench corvenna_window_bench; do
      exe="$build/bench/$b"
      [ -x "$exe" ] && nice "$exe" --benchmark_min_time=0.5 2>/dev/null | grep -v '^\*\*\*'
    done
  fi
  stop_loadgen
done
echo "== load after: $(uptime)"

# Every tool must see every socket.
echo
echo "| N | program | median s | peak MiB | rows | × corvenna-list time | runs |"
echo "|---|---|---|---|---|---|---|"
while IFS='|' read -r n tool seconds peak rows lister_s count; do
  ratio=-
  if [ "$seconds" != timeout ] && [ -n "$lister_s" ]; then
    ratio="$(awk -v a="$seconds" -v b="$lister_s" 'BEGIN { printf "%.1f", a / b }')"
  fi
  seen="$rows"
  if [[ "$rows" =~ ^[0-9]+$ ]] && [ "$rows" -lt $((2 * n)) ]; then seen="$rows (MISSING: < $((2 * n)))"; fi
  shown="$(awk -v s="$seconds" 'BEGIN { if (s == "timeout") print s; else printf "%.3f", s }')"
  printf '| %s | %s | %s | %s | %s | %s | %s |\n' "$n" "$tool" "$shown" \
    "$(awk -v p="$peak" 'BEGIN { if (p == "-") print "-"; else printf "%.1f", p }')" "$seen" "$ratio" "$count"
done <"$results"

# The goals, where the run has the sizes they speak of.
value() { awk -F'|' -v n="$1" -v t="$2" -v f="$3" '$1 == n && $2 == t { print $f }' "$results"; }
check() {  # check <description> <awk condition on a and b> <a> <b>
  local verdict
  if [ -z "$3" ] || [ -z "$4" ] || [ "$3" = timeout ] || [ "$4" = timeout ]; then return; fi
  verdict="$(awk -v a="$3" -v b="$4" "BEGIN { print ($2) ? \"met\" : \"MISSED\" }")"
  printf '%-72s %s\n' "$1 ($3 vs $4)" "$verdict"
}
big=100000
echo
check "corvenna-list at $big at least 8x faster than ss -tanp" "b >= 8 * a" \
  "$(value "$big" corvenna-list 3)" "$(value "$big" "ss -tanp" 3)"
check "corvenna-list at $big at least 2.5x faster than lsof" "b >= 2.5 * a" \
  "$(value "$big" corvenna-list 3)" "$(value "$big" "lsof -nP -iTCP" 3)"
check "corvenna-list at 10000 no slower than ss -tanp" "a <= b" \
  "$(value 10000 corvenna-list 3)" "$(value 10000 "ss -tanp" 3)"
check "corvenna-list at 100000 within 12x its time at 10000" "a <= 12 * b" \
  "$(value 100000 corvenna-list 3)" "$(value 10000 corvenna-list 3)"
check "corvenna-list peak MiB at $big no more than ss -tanp's" "a <= b" \
  "$(value "$big" corvenna-list 4)" "$(value "$big" "ss -tanp" 4)"
check "Qt window at $big within 1.5x corvenna-list's time" "a <= 1.5 * b" \
  "$(value "$big" "corvenna (Qt window)" 3)" "$(value "$big" corvenna-list 3)"
check "Qt window peak MiB at $big at most 250" "a <= b" \
  "$(value "$big" "corvenna (Qt window)" 4)" 250
