#!/usr/bin/env bash
# Builds everything and runs every test twice: a normal build, then a build
# with AddressSanitizer and UndefinedBehaviorSanitizer; then a short,
# bounded run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

run_suite() {  # build-dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > /dev/null
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && ctest -j"$jobs" --timeout 900)
}

echo "== normal build"
run_suite build
echo "== sanitizer build"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  run_suite build-asan -DTESSARIN_SANITIZE=ON -DTESSARIN_BENCH=OFF
echo "== fuzzing"
bash scripts/fuzz.sh
