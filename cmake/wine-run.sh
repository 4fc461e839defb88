#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine with the Chinese code page (936)
# and no debug noise. The Wine prefix lives in the build tree that holds the
# program (the nearest directory above it with a CMakeCache.txt), so build
# trees never share one; CORVENNA_WINEPREFIX overrides that.
# Stop a prefix's wineserver with: WINEPREFIX=<prefix> /usr/lib/wine/wineserver -k
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

build_tree_of() {
  local dir
  dir="$(cd "$(dirname "$1")" 2>/dev/null && pwd)" || return 1
  while [ "$dir" != "/" ]; do
    [ -f "$dir/CMakeCache.txt" ] && { echo "$dir"; return 0; }
    dir="$(dirname "$dir")"
  done
  return 1
}

if [ -z "${CORVENNA_WINEPREFIX:-}" ]; then
  if tree="$(build_tree_of "${1:-}")"; then
    CORVENNA_WINEPREFIX="$tree/wineprefix"
  else
    CORVENNA_WINEPREFIX="$here/../build/wineprefix"
  fi
fi
export WINEPREFIX="$CORVENNA_WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
mkdir -p "$WINEPREFIX"
exec /usr/lib/wine/wine64 "$@"
