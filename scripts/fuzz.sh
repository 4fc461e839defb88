#!/usr/bin/env bash
# Runs each libFuzzer target longer than the test command does:
#   scripts/fuzz.sh [seconds per target, default 600]
# New inputs collect in build/linux-fuzz/tests/fuzz/corpus-<target>/; copy the
# interesting ones into tests/fuzz/corpus/<target>/ to keep them.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
bash scripts/setup.sh >/dev/null
cmake --preset linux-fuzz -DCORVENNA_FUZZ_SECONDS="$seconds" >/dev/null
cmake --build --preset linux-fuzz -j2
ctest --preset linux-fuzz --timeout $((seconds + 120))
