#!/usr/bin/env bash
# Unpacks Debian's libjpeg-turbo source package into DEST (for the mingw builds,
# where libjpeg is not packaged). Needs deb-src in the apt sources (scripts/setup.sh).
# Several build trees share DEST and may configure at once: the first one
# fetches under a lock, the others find the finished tree.
set -euo pipefail
dest="$1"
mkdir -p "$(dirname "$dest")"
exec 9>"$dest.lock"
flock 9
[ -f "$dest/CMakeLists.txt" ] && exit 0
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source -qq libjpeg-turbo >/dev/null
src="$(find . -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)"
[ -n "$src" ] || { echo "apt-get source gave no libjpeg-turbo tree" >&2; exit 1; }
rm -rf "$dest"
mv "$src" "$dest"
