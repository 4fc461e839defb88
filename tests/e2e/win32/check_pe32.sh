#!/usr/bin/env bash
# Checks that the win32 preset's corvenna.exe is a 32-bit (PE32, i386)
# Windows GUI executable. It can't run here: this kernel runs no 32-bit code.
# Reads the headers with binutils' objdump, which knows the PE formats.
#
#   check_pe32.sh [corvenna.exe]   (default: build/win32/src/window/win32/corvenna.exe)
set -euo pipefail
root="$(cd "$(dirname "$0")/../../.." && pwd)"
exe="${1:-$root/build/win32/src/window/win32/corvenna.exe}"
[ -f "$exe" ] || { echo "FAIL: $exe does not exist" >&2; exit 1; }

format="$(objdump -f "$exe" | sed -n 's/.*file format \(.*\)$/\1/p')"
architecture="$(objdump -f "$exe" | sed -n 's/^architecture: \([^,]*\),.*/\1/p')"
magic="$(objdump -p "$exe" | awk '$1 == "Magic" {print $3}')"
subsystem="$(objdump -p "$exe" | sed -n 's/^Subsystem[[:space:]]*[0-9a-f]*[[:space:]]*(\(.*\))$/\1/p')"
echo "$exe: $format, $architecture, $magic, $subsystem"
[ "$format" = pei-i386 ] && [ "$architecture" = i386 ] && [ "$magic" = "(PE32)" ] ||
  { echo "FAIL: not a 32-bit i386 PE executable" >&2; exit 1; }
[ "$subsystem" = "Windows GUI" ] || { echo "FAIL: subsystem $subsystem, want Windows GUI" >&2; exit 1; }
echo "PASS"
