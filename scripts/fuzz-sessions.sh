#!/usr/bin/env bash
# Random sessions of the real program (sanitizer build): SEEDS sessions of
# STEPS steps each, JOBS at once, seeds FIRST .. FIRST + SEEDS - 1.
# Usage: scripts/fuzz-sessions.sh [SEEDS 200] [STEPS 1500] [JOBS 3] [FIRST 1]
# Builds build/test's program and the session runner first (3 compile jobs).
# A failed session keeps its folder under build/test/sessions/seed-N
# (script.txt, err.txt); the summary names each failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seeds="${1:-200}"; steps="${2:-1500}"; jobs="${3:-3}"; first="${4:-1}"
build="$root/build/test"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMOR_SANITIZE=ON -DVELMOR_BENCH=ON >/dev/null
fi
cmake --build "$build" --target velmor4 velmor_session_fuzz -- -j3 >/dev/null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
out="$build/sessions"
mkdir -p "$out"
log="$out/summary.txt"
: > "$log"
seq "$first" $((first + seeds - 1)) |
  xargs -P "$jobs" -I{} "$build/tests/velmor_session_fuzz" {} 1 "$steps" "$out" >> "$log" || true
ok=$(grep -c ': ok$' "$log" || true)
bad=$(grep -c 'FAILED' "$log" || true)
grep 'FAILED' "$log" || true
echo "$ok of $seeds sessions of $steps steps ended well, $bad failed"
[ "$bad" -eq 0 ]
