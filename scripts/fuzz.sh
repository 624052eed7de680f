#!/usr/bin/env bash
# Fuzzes the GenBank reader with libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) for a bounded time.
#
# Usage: scripts/fuzz.sh [SECONDS]   (default 60, or TESSARON_FUZZ_SECONDS)
#
# Installs clang and its runtime libraries when missing, builds the fuzzer in
# build-fuzz and runs it from the seed corpus, the reader's test records and
# whatever earlier runs added in build-fuzz/corpus. Exits non-zero when the
# fuzzer finds a crash, a sanitizer report, a hang, a broken invariant or
# runs out of memory; the input that did it is left in build-fuzz/artifacts.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

seconds="${1:-${TESSARON_FUZZ_SECONDS:-60}}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "error: the time must be a positive number of seconds" >&2
    exit 2
fi

bash "$TESSARON_ROOT/scripts/deps.sh" clang libclang-rt-14-dev llvm

build="$TESSARON_ROOT/build-fuzz"
fuzz="$TESSARON_ROOT/tests/input/fuzz"
log="$build/build.log"
mkdir -p "$build"
if ! { CC=clang CXX=clang++ cmake -S "$TESSARON_ROOT" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSARON_WERROR=ON \
    -DTESSARON_BUILD_TESTS=ON \
    -DTESSARON_FUZZ=ON &&
    cmake --build "$build" --target tessaron_genbank_fuzzer; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "error: the fuzzer build failed (log: $log)" >&2
    exit 1
fi

corpus="$build/corpus"
artifacts="$build/artifacts"
mkdir -p "$corpus" "$artifacts"
cp "$fuzz"/corpus/* "$TESSARON_ROOT/tests/data/M12730.gb" "$corpus/"

echo "Fuzzing the GenBank reader for $seconds s" >&2
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
status=0
"$build/tests/input/fuzz/tessaron_genbank_fuzzer" "$corpus" \
    -dict="$fuzz/genbank.dict" \
    -max_total_time="$seconds" \
    -max_len=8192 \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" \
    -print_final_stats=1 || status=$?
if ((status != 0)); then
    echo "error: the fuzzer failed (exit $status); inputs in $artifacts:" >&2
    ls -l "$artifacts" >&2
    exit "$status"
fi
