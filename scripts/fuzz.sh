#!/usr/bin/env bash
# Builds every fuzz target with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer, assertions on) and runs them all in parallel
# for the given minutes each (default 10), starting from the checked-in
# seeds; prints executions, coverage and crashes per target.
#
#   scripts/fuzz.sh [minutes]
#
# Environment:
#   FUZZ_BUILD_DIR  build folder (build-fuzz)
#   FUZZ_WORK       grown corpora, crash inputs and logs, one folder per
#                   target ($FUZZ_BUILD_DIR/fuzz-work); kept between runs
#   FUZZ_JOBS       targets run at once (all)
#   FUZZ_RUNS       stop a target after this many executions (no limit)
#   FUZZ_TARGETS    the targets to run, blank-separated, started in that
#                   order (all)
#   FUZZ_NICE       nice level of the fuzzing processes (0)
#
# An input that crashes, leaks, runs out of memory or hangs a target is
# copied into that target's checked-in corpus as regress-<kind>-<sha1>, so
# the tests run it from then on; mend the fault and add a unit test of it.
set -euo pipefail
cd "$(dirname "$0")/.."
MINUTES=${1:-10}
case $MINUTES in
    '' | *[!0-9]*) echo "usage: $0 [minutes]" >&2; exit 2 ;;
esac
BUILD=${FUZZ_BUILD_DIR:-build-fuzz}
WORK=${FUZZ_WORK:-$BUILD/fuzz-work}
NICE=${FUZZ_NICE:-0}

./scripts/deps.sh
for tool in clang clang++; do
    command -v $tool >/dev/null || { echo "$0: $tool is missing (apt-get install clang)" >&2; exit 1; }
done
# -O2 keeps the targets fast; a Debug configuration keeps assert and
# Q_ASSERT (index checks in Qt's containers) on.
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_FLAGS_DEBUG="-O2 -g" -DCMAKE_CXX_FLAGS_DEBUG="-O2 -g" \
    -DTOVIK_FUZZ=ON -DTOVIK_SANITIZE=ON -DTOVIK_TESTS=OFF >/dev/null
cmake --build "$BUILD"   # CMAKE_BUILD_PARALLEL_LEVEL sets the jobs

BUILD=$(cd "$BUILD" && pwd)
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
if [ -n "${FUZZ_TARGETS:-}" ]; then
    read -r -a targets <<<"$FUZZ_TARGETS"
else
    targets=()
    for file in "$BUILD"/fuzz/*.target; do
        targets+=("$(basename "$file" .target)")
    done
fi
for name in "${targets[@]}"; do
    [ -f "$BUILD/fuzz/$name.target" ] || { echo "$0: no fuzz target $name" >&2; exit 1; }
done

field() { sed -n "s/^$1=//p" "$BUILD/fuzz/$2.target"; }

# Runs one target; its log is $WORK/<name>/log.
run_target() {
    local name=$1 dir=$WORK/$1 args=()
    mkdir -p "$dir/corpus" "$dir/artifacts"
    local dict corpus options
    dict=$(field dict "$name")
    corpus=$(field corpus "$name")
    options=$(field options "$name")
    [ -n "$dict" ] && args+=("-dict=$dict")
    [ -n "${FUZZ_RUNS:-}" ] && args+=("-runs=$FUZZ_RUNS")
    # shellcheck disable=SC2206 # the options are separate words
    args+=($options)
    local seeds=() binary
    [ -n "$corpus" ] && seeds+=("$corpus")
    binary=$(field binary "$name")
    ( cd "$dir" && exec nice -n "$NICE" "$binary" -max_total_time=$((MINUTES * 60)) \
        -timeout=25 -print_final_stats=1 -artifact_prefix="$dir/artifacts/" "${args[@]}" \
        corpus "${seeds[@]}" ) >"$dir/log" 2>&1 || true
}

parallel=${FUZZ_JOBS:-${#targets[@]}}
echo "Fuzzing ${#targets[@]} targets for $MINUTES min each, $parallel at once; work in $WORK"
started=$(date +%s)
for name in "${targets[@]}"; do
    rm -f "$WORK/$name/artifacts/"* 2>/dev/null || true
    while [ "$(jobs -pr | wc -l)" -ge "$parallel" ]; do
        wait -n || true
    done
    run_target "$name" &
done
wait

# The last figure of a "cov: N" style field in the log.
last() { grep -o "$1: [0-9]*" "$2" | tail -1 | sed 's/.*: //'; }
final() { sed -n "s/^stat::$1: *//p" "$2" | tail -1; }

printf '\n%-28s %11s %7s %6s %6s %6s %7s %6s  %s\n' target executions exec/s cov ft corpus seconds rss_mb result
failed=0
for name in "${targets[@]}"; do
    dir=$WORK/$name
    log=$dir/log
    result=ok
    found=()
    for artifact in "$dir"/artifacts/*; do
        [ -f "$artifact" ] || continue
        kind=$(basename "$artifact" | cut -d- -f1)
        case $kind in crash | leak | oom | timeout) ;; *) continue ;; esac
        corpus=$(field corpus "$name")
        keep=${corpus:-$dir}/regress-$kind-$(sha1sum "$artifact" | cut -c1-12)
        cp "$artifact" "$keep"
        found+=("$keep")
    done
    if [ ${#found[@]} -gt 0 ]; then
        result="FAULT: ${found[*]}"
        failed=1
    elif grep -q 'ERROR: [A-Za-z]*Sanitizer' "$log"; then
        result="FAULT at the end of the run, see $log"
        failed=1
    elif ! grep -q '^Done [0-9]* runs' "$log"; then
        result="stopped, see $log"
        failed=1
    fi
    printf '%-28s %11s %7s %6s %6s %6s %7s %6s  %s\n' "$name" "$(final number_of_executed_units "$log")" \
        "$(final average_exec_per_sec "$log")" "$(last cov "$log")" "$(last ft "$log")" \
        "$(find "$dir/corpus" -type f | wc -l)" "$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")" \
        "$(final peak_rss_mb "$log")" "$result"
done
echo "Wall time $(( $(date +%s) - started )) s; logs and grown corpora in $WORK"
exit $failed
