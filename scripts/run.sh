#!/usr/bin/env bash
# Sets up, builds the native Linux program and starts it. Without a display
# it says so and prints the lister's table instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >/dev/null
cmake --preset linux >/dev/null
cmake --build --preset linux -j2 --target corvenna-list $( [ -f src/window/qt/CMakeLists.txt ] && echo corvenna ) >/dev/null

bin=build/linux
if [ -x "$bin/src/window/qt/corvenna" ]; then
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin/src/window/qt/corvenna"
  fi
  echo "No display here: the connection table follows; for the window run: xvfb-run -a $bin/src/window/qt/corvenna"
fi
exec "$bin/src/cli/corvenna-list"
