#!/bin/sh
# Installs what is missing, then builds and runs the whole test suite twice:
# under AddressSanitizer and UndefinedBehaviorSanitizer (build-test/) and
# optimized without sanitizers (build-test-release/), where it also builds
# the benchmarks and runs each once for a few seconds
# (bench/run-all.sh --smoke: they still build and run; no figure is
# asserted). Then the parameter store's own tests run under
# ThreadSanitizer (build-test-tsan/, only what they need is built). With
# clang present it also runs every fuzz target for TOVIK_FUZZ_SECONDS
# (default 5) over its seed corpus (build-test-fuzz/). Last it builds the
# Debian packages (with CMake's default generator, as debhelper does, from a
# copy of the tree), lists them, runs lintian, runs the programs from the
# unpacked packages with a simulated converter, and builds the libraries
# twice to compare them byte for byte (build-test-package/).
#
#   STAGES="sanitize release tsan fuzz package"   the stages to run, in this order
#   BUILD_DIR=build-test             prefix of the build directories
#   CTEST_ARGS="-L unit"             passed on to ctest (e.g. -R, -L, -LE)
#   JOBS=4                           parallel compile and test jobs (nproc)
set -e
cd "$(dirname "$0")"
BUILD=${BUILD_DIR:-build-test}
STAGES=${STAGES:-sanitize release tsan fuzz package}
extras=""
case " $STAGES " in *" release "*) extras="bench" ;; esac
case " $STAGES " in *" package "*) extras="$extras package" ;; esac
# shellcheck disable=SC2086
./scripts/deps.sh $extras
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}
FUZZ_SECONDS=${TOVIK_FUZZ_SECONDS:-5}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(pwd)/scripts/lsan.supp}

started=$(date +%s)
summary=""
note() {
    now=$(date +%s)
    summary="$summary
  $1: $((now - stage_started)) s"
}

# configure DIR CMAKE-ARGS...: configures quietly, prints the log on failure.
configure() {
    dir=$1
    shift
    mkdir -p "$dir"
    if ! cmake -S . -B "$dir" -G Ninja "$@" >"$dir/configure.log" 2>&1; then
        cat "$dir/configure.log"
        exit 1
    fi
}

# suite DIR: runs every CTest test of a build.
suite() {
    # shellcheck disable=SC2086
    ctest --test-dir "$1" --output-on-failure -j "$JOBS" --timeout 300 $CTEST_ARGS </dev/null
}

for stage in $STAGES; do
    stage_started=$(date +%s)
    case $stage in
    sanitize)
        echo "== Debug build with AddressSanitizer and UndefinedBehaviorSanitizer ($BUILD/)"
        configure "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DTOVIK_SANITIZE=ON -DTOVIK_TESTS=ON
        cmake --build "$BUILD" -j "$JOBS"
        suite "$BUILD"
        ;;
    release)
        echo "== Optimized build without sanitizers ($BUILD-release/)"
        configure "$BUILD-release" -DCMAKE_BUILD_TYPE=Release -DTOVIK_SANITIZE=OFF -DTOVIK_TESTS=ON -DTOVIK_BENCH=ON
        cmake --build "$BUILD-release" -j "$JOBS"
        suite "$BUILD-release"
        echo "== Benchmarks run once briefly ($BUILD-release/)"
        if ! TOVIK_TESTS=ON JOBS=$JOBS BUILD_DIR="$BUILD-release" bench/run-all.sh --smoke \
            >"$BUILD-release/bench-smoke.log" 2>&1; then
            tail -n 60 "$BUILD-release/bench-smoke.log"
            echo "Benchmark smoke run failed; its whole output is in $BUILD-release/bench-smoke.log"
            exit 1
        fi
        grep '^== ' "$BUILD-release/bench-smoke.log"
        ;;
    tsan)
        echo "== The store's tests under ThreadSanitizer ($BUILD-tsan/)"
        configure "$BUILD-tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVIK_SANITIZE=OFF -DTOVIK_TESTS=ON \
            -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_CXX_FLAGS=-fsanitize=thread \
            -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread
        cmake --build "$BUILD-tsan" -j "$JOBS" \
            --target store_unit_tests store_socket_tests store_restart_tests store_stress_tests
        TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1} \
            ctest --test-dir "$BUILD-tsan" --output-on-failure -j "$JOBS" --timeout 300 \
            -R '^store_(unit|socket|restart|stress)_tests\.' </dev/null
        ;;
    fuzz)
        if ! command -v clang >/dev/null 2>&1 || ! command -v clang++ >/dev/null 2>&1; then
            echo "== Fuzz targets skipped: clang is not installed"
            continue
        fi
        echo "== Fuzz targets, ${FUZZ_SECONDS} s each ($BUILD-fuzz/)"
        configure "$BUILD-fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
            -DCMAKE_BUILD_TYPE=Debug -DTOVIK_SANITIZE=ON -DTOVIK_FUZZ=ON -DTOVIK_TESTS=OFF \
            -DTOVIK_FUZZ_SECONDS="$FUZZ_SECONDS"
        cmake --build "$BUILD-fuzz" -j "$JOBS" --target tovik_fuzzers
        ctest --test-dir "$BUILD-fuzz" --output-on-failure -j "$JOBS" -L fuzz </dev/null
        ;;
    package)
        echo "== Debian packages, run from their files; the libraries built twice ($BUILD-package/)"
        JOBS=$JOBS scripts/package.sh "$BUILD-package"
        tests/netns-run.sh tests/package/package_test.sh "$BUILD-package/debs"
        JOBS=$JOBS tests/package/reproducible_test.sh . "$BUILD-package/reproducible"
        ;;
    *)
        echo "unknown stage: $stage (sanitize, release, tsan, fuzz, package)"
        exit 2
        ;;
    esac
    note "$stage"
done
echo "All stages passed in $(($(date +%s) - started)) s:$summary"
