#!/usr/bin/env bash
# Sets up, builds every test under AddressSanitizer and UBSan with warnings as
# errors, runs them with CTest, then gives each fuzz target a short smoke run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

build="$root/build-test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVEXAL_SANITIZE=ON -DVEXAL_WERROR=ON -DVEXAL_BENCH=OFF >/dev/null
cmake --build "$build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"

"$root/scripts/fuzz-smoke.sh"
