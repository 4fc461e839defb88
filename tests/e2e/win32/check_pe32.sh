#!/usr/bin/env bash
# Checks that the win32 preset's corvenna.exe is a 32-bit (PE32, i386)
# Windows GUI executable. It can't run here: this kernel runs no 32-bit code.
#
#   check_pe32.sh [corvenna.exe]   (default: build/win32/src/window/win32/corvenna.exe)
set -euo pipefail
root="$(cd "$(dirname "$0")/../../.." && pwd)"
exe="${1:-$root/build/win32/src/window/win32/corvenna.exe}"
[ -f "$exe" ] || { echo "FAIL: $exe does not exist" >&2; exit 1; }

description="$(file -b "$exe")"
format="$(objdump -f "$exe" | sed -n 's/.*file format \(.*\)$/\1/p')"
architecture="$(objdump -f "$exe" | sed -n 's/^architecture: \([^,]*\),.*/\1/p')"
echo "$exe: $description; objdump: $format, $architecture"
case "$description" in
  "PE32 executable (GUI) Intel 80386"*) ;;
  *) echo "FAIL: not a 32-bit GUI executable for Intel 80386" >&2; exit 1 ;;
esac
[ "$format" = pei-i386 ] && [ "$architecture" = i386 ] || { echo "FAIL: objdump sees $format, $architecture" >&2; exit 1; }
echo "PASS"
