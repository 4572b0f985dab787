#!/bin/sh
# Portvane with the four ROI scaler models polling (simulated converters
# that answer after the 38400 baud wire time): the daemon's share of one
# core and its resident and private memory, then the cost of one status poll
# against its wire time (roiscaler_poll_bench). Builds a Release tree first;
# measures in a private network namespace (the store's fixed ports) when one
# can be made. Exits non-zero when a step fails.
#
# Environment: BUILD_DIR (default build-bench), SECONDS_MEASURED (default 30),
# BENCH_SMOKE=1: one short run of each step (3 s measured, one model's poll
# benchmark) that checks the steps run, not their figures.
set -eu
SELF=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
cd "$(dirname "$SELF")/../.."
BUILD=${BUILD_DIR:-build-bench}
SMOKE=${BENCH_SMOKE:-0}
if [ "$SMOKE" = 1 ]; then
    MEASURED=${SECONDS_MEASURED:-3}
    SETTLE=1
else
    MEASURED=${SECONDS_MEASURED:-30}
    SETTLE=5
fi
export BUILD MEASURED SETTLE SMOKE

fail() {
    echo "four_scalers: $*" >&2
    exit 1
}

measure() {
    BIN=$(cd "$BUILD/bin" && pwd)
    TMP=$(mktemp -d)
    PIDS=""
    cleanup() {
        for pid in $PIDS; do
            kill -TERM "$pid" 2>/dev/null || true
        done
        for pid in $PIDS; do
            wait "$pid" 2>/dev/null || true
        done
        rm -rf "$TMP"
    }
    trap cleanup EXIT
    trap 'exit 1' INT TERM

    "$BIN/tovik-configstore" >"$TMP/store.log" 2>&1 &
    PIDS="$PIDS $!"
    i=0
    until grep -q 'serving config 0' "$TMP/store.log"; do
        i=$((i + 1)); [ $i -lt 100 ] || fail "the config-0 store did not start"; sleep 0.1
    done
    PORTS=""
    for type in 5 14 18 19; do
        "$BIN/tovik-convsim" --link "$TMP/tty$type" --type "$type" --wire-time >"$TMP/sim$type.log" 2>&1 &
        PIDS="$PIDS $!"
        i=0
        until [ -e "$TMP/tty$type" ]; do
            i=$((i + 1)); [ $i -lt 100 ] || fail "converter $type did not start"; sleep 0.1
        done
        PORTS="${PORTS:+$PORTS:}$TMP/tty$type"
    done
    PORTVANE_SERIAL_PORTS="$PORTS" "$BIN/Portvane" >"$TMP/portvane.log" 2>&1 &
    DAEMON=$!
    PIDS="$DAEMON $PIDS"
    i=0
    until "$BIN/tovik-storedump" 2>/dev/null | grep -q '^eParamID_DeviceCount=4'; do
        i=$((i + 1)); [ $i -lt 300 ] || { cat "$TMP/portvane.log" >&2; fail "the four scalers were not bound"; }
        sleep 0.1
    done
    sleep "$SETTLE"
    ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$DAEMON/stat"; }
    HZ=$(getconf CLK_TCK)
    BEFORE=$(ticks)
    sleep "$MEASURED"
    AFTER=$(ticks)
    kill -0 "$DAEMON" 2>/dev/null || fail "Portvane ended while measured"
    "$BIN/tovik-storedump" | grep -q '^eParamID_DeviceCount=4' || fail "a scaler was lost while measured"
    RSS=$(awk '/^VmRSS:/ { print $2 }' "/proc/$DAEMON/status")
    PRIVATE=$(awk '/^Private_(Clean|Dirty):/ { sum += $2 } END { print sum }' "/proc/$DAEMON/smaps_rollup")
    awk -v b="$BEFORE" -v a="$AFTER" -v hz="$HZ" -v s="$MEASURED" -v rss="$RSS" -v priv="$PRIVATE" 'BEGIN {
        printf "Portvane, four polling scalers, %d s: %.2f%% of one core; resident %d KiB, private %d KiB\n",
               s, 100 * (a - b) / (hz * s), rss, priv }'

    if [ "$SMOKE" = 1 ]; then
        "$BIN/roiscaler_poll_bench" --benchmark_counters_tabular=true --benchmark_min_time=0.05 \
            --benchmark_filter='/14$|/14/'
    else
        "$BIN/roiscaler_poll_bench" --benchmark_counters_tabular=true
    fi
}

if [ "${1:-}" = "--measure" ]; then
    measure
    exit 0
fi

JOBS=$(nproc 2>/dev/null || echo 2)
[ "$JOBS" -gt 4 ] && JOBS=4
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVIK_BENCH=ON -DTOVIK_TESTS="${TOVIK_TESTS:-OFF}" >/dev/null ||
    fail "cmake failed"
cmake --build "$BUILD" -j "$JOBS" --target Portvane tovik-configstore tovik-convsim tovik-storedump \
    roiscaler_poll_bench >/dev/null || fail "the build failed"
if unshare -n true 2>/dev/null; then
    exec unshare -n sh -c 'ip link set lo up 2>/dev/null || ifconfig lo up 2>/dev/null; exec sh "$0" --measure' "$SELF"
fi
echo "four_scalers: no private network namespace; measuring on this host's loopback" >&2
sh "$SELF" --measure
