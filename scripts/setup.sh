#!/usr/bin/env bash
# Installs everything the build, the tests and the benchmarks need on a fresh
# Debian 12 machine. Idempotent: a second run only checks.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi

PACKAGES=(
  # native build
  build-essential cmake ninja-build pkg-config clang clang-format clang-tidy
  libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libjpeg62-turbo-dev
  # Linux window
  qt6-base-dev qt6-base-dev-tools libgl-dev xdg-utils
  # Windows cross-builds and running them
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 dpkg-dev nasm
  # GUI tests
  xvfb xauth xdotool x11-utils imagemagick locales
  fonts-wqy-zenhei fonts-arphic-uming
  python3
  # peers, tracing and measuring
  iproute2 net-tools lsof strace hyperfine time passwd procps
  linux-perf coreutils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

# libjpeg for mingw is built from Debian's own source package, which needs deb-src.
SOURCES=/etc/apt/sources.list.d/debian.sources
need_src=0
if [ -f "$SOURCES" ] && ! grep -q '^Types:.*deb-src' "$SOURCES"; then
  $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$SOURCES"
  need_src=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  if [ ${#missing[@]} -gt 0 ]; then
    $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
  fi
fi

# Wine reads its ANSI code page from the locale: zh_CN.UTF-8 gives 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  $SUDO sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen
fi
echo "setup: all packages present"
