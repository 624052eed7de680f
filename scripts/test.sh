#!/usr/bin/env bash
# Builds everything (tests and benchmarks included) with warnings as errors
# and AddressSanitizer + UndefinedBehaviorSanitizer in build-ci, then runs the
# tests. Exits non-zero when the build or a test fails.
#
# The build is a quick one: clang (which compiles sanitized code in about
# two thirds of GCC's time), test code unoptimised, libraries lightly
# optimised, precompiled headers, the windows a few files at a time, and the
# lld linker; the package test's Release build keeps the default compiler, so
# both compilers build the code. `bash scripts/test.sh -LE slow` leaves out
# the few slow differential cases (extra arguments go to ctest).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh" clang libclang-rt-14-dev

build="$TESSARON_ROOT/build-ci"
cmake -S "$TESSARON_ROOT" -B "$build" -G Ninja \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSARON_WERROR=ON \
    -DTESSARON_SANITIZE=ON \
    -DTESSARON_BUILD_TESTS=ON \
    -DTESSARON_BUILD_GUI=ON \
    -DTESSARON_BUILD_BENCH=ON \
    -DTESSARON_QUICK_BUILD=ON \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld
cmake --build "$build" --parallel "$(nproc)"

# Any sanitizer finding fails the test that triggered it, with a stack trace.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

# The desktop program's tests run without a display.
export QT_QPA_PLATFORM=offscreen

cd "$build"
ctest --output-on-failure --parallel "$(nproc)" "$@"
