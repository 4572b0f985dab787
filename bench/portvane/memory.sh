#!/bin/sh
# Portvane's resource use as a whole process: idle with two simulated
# converters (share of one core, memory), and its memory after a burst of
# 10,000 string sets of the longest value the parameter allows against idle
# (goal: within 2 MB of idle once the burst has ended). Builds a Release
# tree first; both benchmarks make their own network namespace (root).
#
# Environment: BUILD_DIR (default build-bench); BENCH_SMOKE=1 runs each once
# briefly (2 s idle, 1,000 sets) and asserts no figure.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${BUILD_DIR:-build-bench}

fail() {
    echo "portvane memory: $*" >&2
    exit 1
}

JOBS=$(nproc 2>/dev/null || echo 2)
[ "$JOBS" -gt 4 ] && JOBS=4
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVIK_BENCH=ON -DTOVIK_TESTS="${TOVIK_TESTS:-OFF}" >/dev/null ||
    fail "cmake failed"
cmake --build "$BUILD" -j "$JOBS" --target portvane_idle_bench portvane_burst_bench >/dev/null ||
    fail "the build failed"

if [ "${BENCH_SMOKE:-0}" = 1 ]; then
    "$BUILD/bin/portvane_idle_bench" --benchmark_filter=PortvaneIdle/2 >/dev/null ||
        fail "portvane_idle_bench did not run"
    "$BUILD/bin/portvane_burst_bench" --benchmark_filter='StringBurst/10000/0' >/dev/null ||
        fail "portvane_burst_bench did not run"
    echo "portvane memory: smoke run done"
    exit 0
fi

"$BUILD/bin/portvane_idle_bench" --benchmark_filter=PortvaneIdle/10 --benchmark_counters_tabular=true
CSV=$(mktemp)
trap 'rm -f "$CSV"' EXIT
"$BUILD/bin/portvane_burst_bench" --benchmark_counters_tabular=true --benchmark_out="$CSV" \
    --benchmark_out_format=csv
GROWTH=$(awk -F, '/^name,/ { for (i = 1; i <= NF; i++) if ($i == "\"growth_Rss_kB\"") c = i }
                  /StringBurst\/10000\/0\// && c { print $c }' "$CSV")
[ -n "$GROWTH" ] || fail "no growth figure"
echo "resident memory after 10,000 sets of the longest allowed value: $GROWTH kB above idle (goal: at most 2048)"
