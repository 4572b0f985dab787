#!/bin/sh
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite. With clang
# present, every fuzz target then runs a few seconds over its seeds.
set -e
cd "$(dirname "$0")"
./scripts/deps.sh
BUILD=${BUILD_DIR:-build-test}
JOBS=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOVIK_SANITIZE=ON -DTOVIK_TESTS=ON >/dev/null
cmake --build "$BUILD" -j "$JOBS"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(pwd)/scripts/lsan.supp}
ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" --timeout 300 </dev/null

if command -v clang >/dev/null 2>&1 && command -v clang++ >/dev/null 2>&1; then
    CC=clang CXX=clang++ cmake -S . -B "$BUILD-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DTOVIK_SANITIZE=ON -DTOVIK_FUZZ=ON -DTOVIK_TESTS=OFF >/dev/null
    cmake --build "$BUILD-fuzz" -j "$JOBS" --target tovik_fuzzers
    ctest --test-dir "$BUILD-fuzz" --output-on-failure -j "$JOBS" -L fuzz </dev/null
fi
