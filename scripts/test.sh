#!/usr/bin/env bash
# Installs what the project needs, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test with CTest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build/test -DCMAKE_BUILD_TYPE=Debug -DVELMOR_SANITIZE=ON -DVELMOR_BENCH=ON
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
cd "$root/build/test"
ctest --output-on-failure --timeout 300 -j"$(nproc)" "$@"
