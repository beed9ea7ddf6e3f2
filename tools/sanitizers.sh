#!/bin/sh
# Builds exfatbar with AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitizers/ and
# runs the whole test suite there. Any report fails the run: errors abort the program, leaks make
# it exit non-zero (leaks of other libraries are listed in tests/sanitizers.supp).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-sanitizers"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DEXFATBAR_STATIC_STAND_INS=OFF -DEXFATBAR_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    >/dev/null
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$top/tests/sanitizers.supp"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure --timeout 900
