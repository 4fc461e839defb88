#!/usr/bin/env bash
# corvenna.exe end to end under 64-bit Wine on a 1024x768 Xvfb screen: the
# window appears centred at 808 x 502, shows the banner, the list, the
# label and the hyperlinks in their colours, a hyperlink turns to the hover
# colour under the pointer and opens its target in the (stub) browser when
# pressed, and Esc ends the program with exit code 0.
#
#   corvenna_window_e2e.sh <corvenna.exe> <work dir> [screenshot copy]
#
# Without a window manager Wine would leave the frame and caption undrawn;
# the prefix is set to draw them itself ("Decorated"="N"), so the X window is
# the whole 808 x 502 window. The prefix also maps "宋体" and SimSun to the
# installed Song-style face, as a Chinese Windows has them, and fontconfig
# is told not to smooth glyphs, so that texts are drawn in their exact
# colours, as Windows draws small Song glyphs from their bitmaps.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"

if [ -z "${CORVENNA_UNDER_XVFB:-}" ]; then
  # A display number picked at random to start from: xvfb-run -a alone would
  # have tests started side by side race for the same first free number.
  exec env CORVENNA_UNDER_XVFB=1 xvfb-run -a -n $((100 + RANDOM % 800)) \
    -s "-screen 0 1024x768x24" "$0" "$@"
fi

exe="$1"
mkdir -p "$2"
work="$(cd "$2" && pwd)"
copy="${3:-}"
export CORVENNA_WINEPREFIX="$work/wineprefix"
wine_run="$root/cmake/wine-run.sh"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

stop_prefix() { WINEPREFIX="$CORVENNA_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true; }
trap stop_prefix EXIT

# --- the prefix, made once ------------------------------------------------
if [ ! -f "$work/prefix-ready" ]; then
  "$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
  for face in 宋体 SimSun; do
    "$wine_run" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d 'AR PL UMing CN' /f >/dev/null
  done
  WINEPREFIX="$CORVENNA_WINEPREFIX" /usr/lib/wine/wineserver -w
  touch "$work/prefix-ready"
fi

cat >"$work/fonts.conf" <<'FONTS'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <match target="font">
    <edit name="antialias" mode="assign"><bool>false</bool></edit>
  </match>
</fontconfig>
FONTS
export FONTCONFIG_FILE="$work/fonts.conf"

# --- a browser that only writes down what it was asked to open ---------------
mkdir -p "$work/bin"
opened="$work/opened.txt"
rm -f "$opened"
cat >"$work/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >>"$opened"
STUB
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH" BROWSER="$work/bin/xdg-open"

# --- reading the screen ------------------------------------------------------
shot="$work/shot.png"
screenshot() { import -window root "$shot"; }
# Colour of one screen pixel as #RRGGBB.
pixel() { convert "$shot" -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1; }
# How many pixels of colour $5 (#RRGGBB) lie in the rectangle x y w h.
count() {
  convert "$shot" -crop "$3x$4+$1+$2" +repage -depth 8 -format %c histogram:info:- |
    awk -v c="$5" 'toupper($0) ~ c { sub(":", "", $1); n += $1 } END { print n + 0 }'
}
# Waits a bounded number of rounds (half a second apart) for a condition
# given as a command; ROUNDS overrides the usual 240.
wait_for() {
  local i
  for i in $(seq 1 "${ROUNDS:-240}"); do
    if "$@"; then return 0; fi
    sleep 0.5
  done
  return 1
}

# --- start -------------------------------------------------------------------
LANG=zh_CN.UTF-8 "$wine_run" "$exe" &
pid=$!
find_window() {
  kill -0 "$pid" 2>/dev/null || fail "corvenna.exe ended before showing its window"
  window="$(xdotool search --onlyvisible --name 'Corvenna Tallowmere' 2>/dev/null | head -1)" && [ -n "$window" ]
}
# The window shows only when the list is full: one row (and one module
# snapshot) per connection of this machine, which can be many.
ROUNDS=1200 wait_for find_window || fail "no window captioned 'Corvenna Tallowmere'"
echo "window $window"

# --- place -------------------------------------------------------------------
geometry="$(xwininfo -id "$window")"
left="$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")"
top="$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")"
width="$(awk '/Width:/ {print $2}' <<<"$geometry")"
height="$(awk '/Height:/ {print $2}' <<<"$geometry")"
echo "outer window ${width}x${height} at ($left, $top)"
[ "$width" = 808 ] && [ "$height" = 502 ] || fail "outer size ${width}x${height}, want 808x502"
[ "$left" = 108 ] && [ "$top" = 133 ] || fail "outer origin ($left, $top), want (108, 133) on 1024x768"

# --- what the window shows -------------------------------------------------------
# The client area starts inside Wine's fixed frame (3 pixels) and caption (19).
frame_x="${CORVENNA_FRAME_X:-3}"
frame_y="${CORVENNA_FRAME_Y:-22}"
cx=$((left + frame_x))
cy=$((top + frame_y))
# Screen position of a client point.
at() { echo "$((cx + $1)) $((cy + $2))"; }
# The banner at its natural size at the picture box's corner (10, 7); also
# the sign that the window has painted.
read -r bx by <<<"$(at 10 7)"
banner_shown() {
  screenshot
  convert "$shot" -crop "452x56+$bx+$by" +repage "$work/banner-on-screen.png"
  differing="$(compare -metric AE -fuzz 2% "$work/banner-on-screen.png" "$root/resources/banner.jpg" null: 2>&1 || true)"
  [ "$differing" = 0 ]
}
wait_for banner_shown || fail "the banner on screen is not resources/banner.jpg ($differing pixels differ)"
[ -n "$copy" ] && cp "$shot" "$copy"
face="$(pixel $(at 2 2))"
echo "button face $face"
# The strips right of and below the picture show the button face.
[ "$(count $(at 462 7) 2 60 "$face")" = 120 ] || fail "the picture box's right strip is not the button face"
[ "$(count $(at 10 63) 452 4 "$face")" = 1808 ] || fail "the picture box's bottom strip is not the button face"

# The list: white where it has no rows, within its sunken edge.
[ "$(pixel $(at 600 420))" = "#FFFFFF" ] || fail "the list's empty part is not white"

# The texts in their colours: black label, blue first and red second hyperlink.
black="$(count $(at 193 439) 416 24 '#000000')"
blue="$(count $(at 464 13) 338 16 '#0000FF')"
red="$(count $(at 496 34) 249 24 '#FF0000')"
echo "text pixels: label $black black, first hyperlink $blue blue, second hyperlink $red red"
[ "$black" -gt 50 ] && [ "$blue" -gt 50 ] && [ "$red" -gt 50 ] || fail "a text is missing or in the wrong colour"

# --- a hyperlink under the pointer, pressed ------------------------------------------
hover='#316AC5'
visited='#800000'
read -r lx ly <<<"$(at 620 46)"
xdotool mousemove "$lx" "$ly"
hovering() { screenshot && [ "$(count $(at 496 34) 249 24 "$hover")" -gt 50 ]; }
wait_for hovering || fail "the second hyperlink did not turn to the hover colour under the pointer"
[ "$(count $(at 496 34) 249 24 '#FF0000')" = 0 ] || fail "the hovered hyperlink still shows its normal colour"
[ -n "$copy" ] && cp "$shot" "${copy%.png}-hover.png"

xdotool click 1
opened_target() { [ -s "$opened" ]; }
wait_for opened_target || fail "pressing the hyperlink opened nothing"
echo "the browser was asked to open: $(cat "$opened")"
grep -qx 'http://www.tallowmere.example/' "$opened" || fail "the browser got $(cat "$opened")"

read -r ox oy <<<"$(at 400 300)"
xdotool mousemove "$ox" "$oy"
visited_colour() { screenshot && [ "$(count $(at 496 34) 249 24 "$visited")" -gt 50 ]; }
wait_for visited_colour || fail "the pressed hyperlink did not take the visited colour"

# --- Esc ends the program with code 0 ---------------------------------------------------
xdotool key Escape
gone() { ! kill -0 "$pid" 2>/dev/null; }
wait_for gone || fail "Esc did not close the window"
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "exit code $status, want 0"
echo "PASS"
