#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine on a private Xvfb display
# (1024x768, 24 bits) with a Wine prefix of its own, then stops that
# prefix's wineserver. Wine can't create a window without a display, and CI
# has none.
#
#   run_under_xvfb.sh <wine prefix> <program> [arguments...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${CORVENNA_UNDER_XVFB:-}" ]; then
  # A display number picked at random to start from: xvfb-run -a alone would
  # have tests started side by side race for the same first free number.
  exec env CORVENNA_UNDER_XVFB=1 xvfb-run -a -n $((100 + RANDOM % 800)) \
    -s "-screen 0 1024x768x24" "$0" "$@"
fi

mkdir -p "$1"
prefix="$(cd "$1" && pwd)"
shift
export CORVENNA_WINEPREFIX="$prefix"
status=0
"$here/../../../cmake/wine-run.sh" "$@" || status=$?
# The prefix's server and its desktop process would outlive the display.
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
exit "$status"
