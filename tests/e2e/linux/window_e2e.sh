#!/usr/bin/env bash
# The real corvenna window on a real X server (Xvfb, no window manager, so
# the window has no frame): its caption, place and size, the window
# manager hints, what a screenshot shows, its rows from the real kernel
# table, Esc ending the process with code 0, a run as an ordinary user, and
# the one-line refusal when there is no display.
#
# usage: window_e2e.sh <corvenna> <banner.jpg> <work dir> [<corvenna-list>]
set -euo pipefail

corvenna=$1
banner=$2
work=$3
lister=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
caption='Corvenna Tallowmere'
listeners=40

mkdir -p "$work"
rm -f "$work"/*
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
ok() { echo "ok   $*"; }

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

# A display of our own: Xvfb picks a free number and writes it to fd 3.
# -ac lets any local user draw on it, which the run as nobody needs.
Xvfb -displayfd 3 -screen 0 1024x768x24 -ac -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "FAIL Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
echo "display $DISPLAY"

# Loopback listeners held open for the whole test: more rows than the list
# can show at once, in every snapshot taken while the test runs.
/usr/bin/python3 -c '
import signal, socket, sys
held = []
for _ in range(int(sys.argv[1])):
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    s.listen()
    held.append(s)
print(" ".join(str(s.getsockname()[1]) for s in held), flush=True)
signal.pause()
' "$listeners" >"$work/ports" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/ports" ] && break; sleep 0.1; done
read -r -a ports <"$work/ports"
[ "${#ports[@]}" -eq "$listeners" ] || { echo "FAIL listeners did not open"; exit 1; }

lister_rows=""
if [ -n "$lister" ] && [ -x "$lister" ]; then
  "$lister" >"$work/lister.txt"
  lister_rows=$(($(wc -l <"$work/lister.txt") - 1))
  seen=0
  for port in "${ports[@]}"; do
    grep -qP "^127\.0\.0\.1\t$port\t0\.0\.0\.0\t0\t" "$work/lister.txt" && seen=$((seen + 1))
  done
  [ "$seen" -eq "$listeners" ] && ok "the lister lists all $listeners listeners ($lister_rows rows)" ||
    fail "the lister lists $seen of $listeners listeners"
else
  echo "skip the lister's rows: no corvenna-list"
fi

to_ppm() { convert "$1" -depth 8 "ppm:$2"; }
to_ppm "$banner" "$work/banner.ppm"

# Starts corvenna as the given user (or the caller) and waits for its window.
# Sets app_pid and window_id. The caller's run is given arguments, Qt's own
# among them, which the program ignores: obeyed, they would keep the window
# off this display and away from its place.
start_window() {
  if [ -n "${1:-}" ]; then
    runuser -u "$1" -- env DISPLAY="$DISPLAY" HOME=/tmp "$corvenna" 2>"$work/stderr-$1.txt" &
  else
    "$corvenna" -platform offscreen -geometry 100x100+0+0 --help 2>"$work/stderr.txt" &
  fi
  app_pid=$!
  pids+=("$app_pid")
  window_id=$(timeout 30 xdotool search --sync --onlyvisible --name "$caption" | head -n 1)
  [ -n "$window_id" ] || { echo "FAIL no window named '$caption'"; exit 1; }
}

# The client area's top-left corner on the screen.
window_origin() {
  eval "$(xdotool getwindowgeometry --shell "$window_id")"
  origin_x=$X
  origin_y=$Y
  size="${WIDTH}x${HEIGHT}"
}

# Screenshot of the whole screen once the window has painted its banner.
shoot() {
  local name=$1
  for _ in $(seq 100); do
    import -window root "$work/$name.png"
    to_ppm "$work/$name.png" "$work/$name.ppm"
    python3 "$here/window_pixels.py" banner "$work/$name.ppm" "$origin_x" "$origin_y" "$work/banner.ppm" && return 0
    sleep 0.1
  done
  echo "FAIL the window never showed its banner"
  return 1
}

# Sends Esc through the X server, as a keyboard would, and waits for the exit.
close_with_escape() {
  xdotool windowfocus --sync "$window_id"
  xdotool key Escape
  local status=0
  wait "$app_pid" || status=$?
  [ "$status" -eq 0 ] && ok "Esc ends $1 with exit code 0" || fail "Esc ends $1 with exit code $status"
}

start_window
window_origin
[ "$size" = "802x473" ] && ok "client area $size" || fail "client area $size, not 802x473"
# 1024x768 screen, described outer size 808x502: (1024-808)/2, (768-502)/2.
[ "$origin_x,$origin_y" = "108,133" ] && ok "placed at 108,133" || fail "placed at $origin_x,$origin_y"
hints=$(xprop -id "$window_id" WM_NORMAL_HINTS _NET_WM_ICON WM_NAME _MOTIF_WM_HINTS)
grep -q "minimum size: 802 by 473" <<<"$hints" && grep -q "maximum size: 802 by 473" <<<"$hints" &&
  ok "fixed size hints" || fail "size hints: $hints"
grep -q "_NET_WM_ICON(CARDINAL) = .*Icon (32 x 32)" <<<"$hints" && ok "32x32 window icon" ||
  fail "no 32x32 window icon"
# Motif decorations: a title with a menu and a close button, no minimise
# (0x20) or maximise (0x40) button.
decorations=$(sed -n 's/^_MOTIF_WM_HINTS.* = [^,]*, [^,]*, \([^,]*\),.*/\1/p' <<<"$hints")
[ -n "$decorations" ] && [ $((decorations & 0x60)) -eq 0 ] && [ $((decorations & 0x8)) -ne 0 ] &&
  ok "decorations $decorations: title, no minimise or maximise" ||
  fail "decorations: $(grep MOTIF <<<"$hints")"
grep -q "Corvenna Tallowmere www.tallowmere.example\"" <<<"$hints" && ok "caption" ||
  fail "caption: $(grep WM_NAME <<<"$hints")"

shoot window
python3 "$here/window_pixels.py" window "$work/window.ppm" "$origin_x" "$origin_y" \
  "$work/banner.ppm" "$lister_rows" || failures=$((failures + 1))
convert "$work/window.png" -crop "802x473+$origin_x+$origin_y" +repage "$work/corvenna-window.png"

# End selects the last row; only its first cell is highlighted.
xdotool windowfocus --sync "$window_id"
xdotool key End
for _ in $(seq 50); do
  import -window root "$work/end.png"
  to_ppm "$work/end.png" "$work/end.ppm"
  python3 "$here/window_pixels.py" end "$work/end.ppm" "$origin_x" "$origin_y" >"$work/end.txt" && break
  sleep 0.1
done
cat "$work/end.txt"
grep -q FAIL "$work/end.txt" && failures=$((failures + 1))

close_with_escape "corvenna"
[ ! -s "$work/stderr.txt" ] || grep -v "XDG_RUNTIME_DIR" "$work/stderr.txt" || true

# An ordinary user sees the same window, without other users' owners.
if [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null; then
  start_window nobody
  window_origin
  [ "$size" = "802x473" ] && ok "as nobody: client area $size" || fail "as nobody: client area $size"
  shoot nobody
  python3 "$here/window_pixels.py" window "$work/nobody.ppm" "$origin_x" "$origin_y" \
    "$work/banner.ppm" || failures=$((failures + 1))
  close_with_escape "corvenna run as nobody"
else
  echo "skip the run as an ordinary user: not root"
fi

# Without a display: one line on standard error, a plain non-zero exit.
for display in "" ":not-a-display"; do
  status=0
  env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" "$corvenna" \
    >"$work/nodisplay.out" 2>"$work/nodisplay.err" || status=$?
  lines=$(wc -l <"$work/nodisplay.err")
  if [ "$status" -ne 0 ] && [ "$status" -lt 128 ] && [ "$lines" -eq 1 ] &&
    grep -q "^corvenna: .*xvfb-run" "$work/nodisplay.err"; then
    ok "DISPLAY='$display': exit $status, one line: $(cat "$work/nodisplay.err")"
  else
    fail "DISPLAY='$display': exit $status, $lines lines: $(cat "$work/nodisplay.err")"
  fi
done

echo "screenshot: $work/corvenna-window.png"
[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
