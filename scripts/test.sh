#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds every preset and runs every test:
# the native Linux build, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, the libFuzzer targets for a short bounded time,
# the 64-bit Windows build under Wine, and the
# 32-bit Windows release build (built and checked, not run: this kernel runs
# no 32-bit code).
set -uo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

bash scripts/setup.sh || { echo "setup failed" >&2; exit 1; }

jobs=2
passed=0
failed=0
failures=()

# Adds the counts of one ctest run from its closing line to the totals.
count_ctest() {
  local log="$1" preset="$2" status="$3"
  local line total fails
  line="$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)"
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    failures+=("$preset: ctest gave no result")
    return
  fi
  total="$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")"
  fails="$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")"
  passed=$((passed + total - fails))
  failed=$((failed + fails))
  if [ "$fails" -ne 0 ] || [ "$status" -ne 0 ]; then
    failures+=("$preset: $fails of $total failed")
    [ "$fails" -eq 0 ] && failed=$((failed + 1))
  fi
}

build_preset() {
  local preset="$1"
  echo "== configure and build: $preset"
  if ! cmake --preset "$preset" >"build-$preset.log" 2>&1 ||
     ! cmake --build --preset "$preset" -j"$jobs" >>"build-$preset.log" 2>&1; then
    tail -n 60 "build-$preset.log"
    failed=$((failed + 1))
    failures+=("$preset: build failed")
    return 1
  fi
  return 0
}

test_preset() {
  local preset="$1"
  echo "== test: $preset"
  local log="build/ctest-$preset.log"
  ctest --preset "$preset" 2>&1 | tee "$log"
  count_ctest "$log" "$preset" "${PIPESTATUS[0]}"
}

mkdir -p build

echo "== check: sources follow .clang-format"
if git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  failures+=("format: run clang-format -i on the files above")
fi

for preset in linux linux-asan linux-fuzz win64; do
  if build_preset "$preset"; then
    mv "build-$preset.log" "build/build-$preset.log"
    test_preset "$preset"
  else
    rm -f "build-$preset.log"
  fi
done

# The release build: 32-bit PE executables.
if build_preset win32; then
  mv build-win32.log build/build-win32.log
  echo "== check: win32 executables are 32-bit"
  for exe in $(find build/win32 -maxdepth 4 -name '*.exe' -path '*src*'); do
    if objdump -f "$exe" | grep -q 'file format pei-i386'; then
      echo "32-bit PE: $exe"
      passed=$((passed + 1))
    else
      echo "not a 32-bit PE: $exe"
      failed=$((failed + 1))
      failures+=("win32: $exe is not a 32-bit PE")
    fi
  done
  if bash tests/e2e/win32/check_pe32.sh build/win32/src/window/win32/corvenna.exe; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    failures+=("win32: corvenna.exe is not a 32-bit Windows GUI program")
  fi
else
  rm -f build-win32.log
fi

# Wine keeps a server per prefix; end it so nothing outlives the run.
if [ -d build/wineprefix ]; then
  WINEPREFIX="$root/build/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
fi

for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
