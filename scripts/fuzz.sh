#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
# Usage: scripts/fuzz.sh [seconds per target, default 60] [target name...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
secs="${1:-60}"; shift || true
"$root/scripts/setup.sh"
CC=clang CXX=clang++ "$root/scripts/build.sh" build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMOR_FUZZ=ON -DVELMOR_TESTS=OFF
# fontconfig keeps blocks of its configuration for the life of the process.
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
for t in "${targets[@]}"; do
  corpus="$root/build/fuzz/corpus/$t"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$root/tests/fuzz/seeds/$t" ] && seeds=("$root/tests/fuzz/seeds/$t")
  echo "== $t ($secs s)"
  "$root/build/fuzz/tests/fuzz/$t" -max_total_time="$secs" -print_final_stats=1 "$corpus" "${seeds[@]}"
done
