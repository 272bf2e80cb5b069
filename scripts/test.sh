#!/usr/bin/env bash
# Installs what the project needs, then builds and runs every test twice: once
# with AddressSanitizer and UndefinedBehaviorSanitizer (Debug, build/test) and
# once optimized without sanitizers (RelWithDebInfo, build/opt). Each build
# shows faults the other hides (a freed address reused, a race on timing).
# Extra arguments go to CTest. VELMOR_BUILDS="test" or "opt" runs only one.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
builds="${VELMOR_BUILDS:-test opt}"
jobs="$(nproc)"

for b in $builds; do
  case "$b" in
    test) "$root/scripts/build.sh" build/test -DCMAKE_BUILD_TYPE=Debug -DVELMOR_SANITIZE=ON -DVELMOR_BENCH=ON ;;
    opt)  "$root/scripts/build.sh" build/opt -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMOR_SANITIZE=OFF -DVELMOR_BENCH=ON ;;
    *) echo "test.sh: unknown build '$b' (test or opt)" >&2; exit 2 ;;
  esac
done

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
status=0
for b in $builds; do
  echo "== tests of build/$b"
  (cd "$root/build/$b" && ctest --output-on-failure --timeout 300 -j"$jobs" "$@") || status=1
done
exit $status
