#!/usr/bin/env bash
# Runs a Windows test program under 64-bit Wine with its own prefix in the
# build tree, the Chinese code page (936) and no debug noise.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
: "${CORVENNA_WINEPREFIX:=${here}/../build/wineprefix}"
export WINEPREFIX="$CORVENNA_WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
mkdir -p "$WINEPREFIX"
exec /usr/lib/wine/wine64 "$@"
