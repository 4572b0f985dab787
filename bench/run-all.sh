#!/bin/sh
# Runs every benchmark whose figures the README shows, one after the other,
# each headed by the machine's load average when it starts (the figures
# move with it): builds the benchmarks optimised in $BUILD_DIR (default
# build-bench), then runs the comparison scripts and the Google Benchmark
# programs. A section that fails is reported and the others still run; the
# exit status is non-zero when any failed.
#
#   bench/run-all.sh            full runs (the scripts install what they
#                               compare against when it is missing; most of
#                               an hour on a shared 8-core machine)
#   bench/run-all.sh --smoke    each once for a few seconds (BENCH_SMOKE=1):
#                               nothing installed, no figure asserted, only
#                               that every benchmark still builds and runs
#   ONLY="knobctl lumo_log"     the sections to run, by name (listed below)
#
# Convention of every script under bench/ (scripts that this list does not
# name yet run at the end): it builds what it needs in ${BUILD_DIR:-build-bench}
# (Release), prints its table, and exits non-zero when a step fails; with
# BENCH_SMOKE=1 it installs nothing, runs each side once for a few seconds
# (the other side only when installed) and exits 0 when it ran.
set -u
SELF=$(cd "$(dirname "$0")" && pwd)
cd "$SELF/.."
BUILD=${BUILD_DIR:-build-bench}
export BUILD_DIR=$BUILD
[ "${1:-}" = "--smoke" ] && export BENCH_SMOKE=1
SMOKE=${BENCH_SMOKE:-0}
ONLY=${ONLY:-}
if [ "$SMOKE" = 1 ]; then
    # Shorter runs for the scripts that take these knobs.
    export SECONDS_MEASURED=${SECONDS_MEASURED:-2} REQUESTS=${REQUESTS:-2000}
fi

# Sections: name, then a script under bench/ or a Google Benchmark program
# in $BUILD/bin. Every script configures the same Release tree
# (TOVIK_TESTS=ON keeps the tests of a tree that has them).
SECTIONS="knobctl knobctl/compare_redis.sh
lut lut/compare_ocio.sh
lumo_log lumo/compare_spdlog.sh
lumo_streams lumo_stream_bench
lumo_pool_xml lumo/compare_pool_xml.sh
lumo_threads lumo_thread_bench
portvane portvane/memory.sh
portvane_sets portvane_sets_bench
roiscaler roiscaler/four_scalers.sh
store_redis paramlink/compare_redis.sh"
for script in bench/*/*.sh; do
    script=${script#bench/}
    echo "$SECTIONS" | grep -q " $script\$" || SECTIONS="$SECTIONS
${script%%/*}_$(basename "$script" .sh) $script"
done

for name in $ONLY; do
    echo "$SECTIONS" | grep -q "^$name " || { echo "run-all: no section $name" >&2; exit 2; }
done

if [ -z "${JOBS:-}" ]; then
    JOBS=$(nproc 2>/dev/null || echo 2)
    [ "$JOBS" -gt 4 ] && JOBS=4
fi
echo "== Building the benchmarks in $BUILD (Release)"
mkdir -p "$BUILD"
if ! cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVIK_BENCH=ON -DTOVIK_TESTS="${TOVIK_TESTS:-OFF}" \
        >"$BUILD/configure.log" 2>&1; then
    cat "$BUILD/configure.log"
    exit 1
fi
cmake --build "$BUILD" -j "$JOBS" || exit 1

# program NAME: a Google Benchmark program; in smoke mode with a tiny
# minimum time, and failing when any benchmark reported an error.
program() {
    out=$(mktemp)
    min=""
    [ "$SMOKE" = 1 ] && min="--benchmark_min_time=0.01"
    # shellcheck disable=SC2086
    "$BUILD/bin/$1" $min --benchmark_counters_tabular=true --benchmark_out="$out" --benchmark_out_format=json
    status=$?
    if [ $status -eq 0 ] && grep -q '"error_occurred": true' "$out"; then
        grep -A1 '"error_occurred": true' "$out" | sed -n 's/.*"error_message": "\(.*\)".*/  error: \1/p'
        status=1
    fi
    rm -f "$out"
    return $status
}

failed=""
started=$(date +%s)
while read -r name what <&3; do
    if [ -n "$ONLY" ] && ! echo " $ONLY " | grep -q " $name "; then
        continue
    fi
    read -r load1 load5 load15 _ </proc/loadavg
    echo
    echo "== $name: $what (load average $load1 $load5 $load15; $(date '+%Y-%m-%d %H:%M'))"
    case $what in
    *.sh) sh "bench/$what" </dev/null ;;
    *) program "$what" </dev/null ;;
    esac
    status=$?
    if [ $status -ne 0 ]; then
        echo "== $name FAILED (status $status)"
        failed="$failed $name"
    fi
done 3<<SECTIONS
$SECTIONS
SECTIONS

read -r load1 load5 load15 _ </proc/loadavg
echo
echo "== Done in $(($(date +%s) - started)) s (load average now $load1 $load5 $load15)"
if [ -n "$failed" ]; then
    echo "== Failed:$failed"
    exit 1
fi
