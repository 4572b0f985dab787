#!/bin/sh
# Acknowledged sets per second on one loopback connection: our store next to
# Redis (redis-benchmark -t set -P 1 -c 1). Prints our rate divided by Redis's.
# Installs redis-server and redis-tools when missing, builds the store
# benchmark, then measures inside a private network namespace that has only
# loopback (on this host's loopback when no namespace can be made), with its
# own redis-server on a free port that it stops again. Exits non-zero when
# any step fails.
set -eu
SELF=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
cd "$(dirname "$SELF")/../.."
BUILD=${BUILD_DIR:-build-bench}
REQUESTS=${REQUESTS:-100000}
export BUILD REQUESTS

fail() {
    echo "compare_redis: $*" >&2
    exit 1
}

measure() {
    TMP=$(mktemp -d)
    REDIS_PID=
    cleanup() {
        if [ -n "$REDIS_PID" ]; then
            kill "$REDIS_PID" 2>/dev/null || true
            wait "$REDIS_PID" 2>/dev/null || true
        fi
        rm -rf "$TMP"
    }
    trap cleanup EXIT
    trap 'exit 1' INT TERM

    # A free loopback port, asked of the kernel.
    PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()') ||
        fail "no free loopback port"
    redis-server --bind 127.0.0.1 --port "$PORT" --save '' --appendonly no --daemonize no \
        --dir "$TMP" >"$TMP/redis.log" 2>&1 &
    REDIS_PID=$!
    i=0
    until redis-cli -h 127.0.0.1 -p "$PORT" ping >/dev/null 2>&1; do
        i=$((i + 1))
        if [ $i -gt 50 ] || ! kill -0 "$REDIS_PID" 2>/dev/null; then
            cat "$TMP/redis.log" >&2
            fail "redis-server did not start"
        fi
        sleep 0.1
    done

    redis-benchmark -h 127.0.0.1 -p "$PORT" -t set -P 1 -c 1 -q -n "$REQUESTS" >"$TMP/redis.out" 2>&1 ||
        { cat "$TMP/redis.out" >&2; fail "redis-benchmark failed"; }
    REDIS_RATE=$(tr '\r' '\n' <"$TMP/redis.out" | sed -n 's/^ *SET: \([0-9.]*\) requests per second.*/\1/p' | tail -1)
    [ -n "$REDIS_RATE" ] || { cat "$TMP/redis.out" >&2; fail "no rate in redis-benchmark's output"; }

    "$BUILD/bin/paramlink_bench" --benchmark_format=json --benchmark_out="$TMP/ours.json" \
        --benchmark_out_format=json >/dev/null || fail "paramlink_bench failed"
    OURS=$(python3 - "$TMP/ours.json" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
found = set()
for b in data["benchmarks"]:
    if b.get("error_occurred"):
        sys.exit("%s: %s" % (b["name"], b.get("error_message", "error")))
    if b["name"].startswith("BM_AcknowledgedIntegerSets"):
        if b.get("failed", 0):
            sys.exit("%d sets refused" % b["failed"])
        print("rate %.2f" % b["sets_per_s"])
        found.add("rate")
    if b["name"].startswith("BM_SetToEventLatency"):
        if b.get("lost", 0):
            sys.exit("%d events did not arrive" % b["lost"])
        print("latency %.1f %.1f" % (b["median_us"], b["p99_us"]))
        found.add("latency")
if found != {"rate", "latency"}:
    sys.exit("benchmarks missing from the output")
PY
) || fail "the store benchmark's results are incomplete"
    OUR_RATE=$(echo "$OURS" | awk '/^rate/ {print $2}')
    LATENCY=$(echo "$OURS" | awk '/^latency/ {print "median " $2 " us, p99 " $3 " us"}')

    echo "redis SET, 1 client, no pipelining: $REDIS_RATE requests/s"
    echo "store acknowledged integer sets:     $OUR_RATE sets/s"
    echo "store set-to-event latency:          $LATENCY"
    python3 -c "import sys; print('ratio (store / redis): %.2f' % (float(sys.argv[1]) / float(sys.argv[2])))" \
        "$OUR_RATE" "$REDIS_RATE"
}

if [ "${1:-}" = "--measure" ]; then
    measure
    exit 0
fi

if ! command -v redis-server >/dev/null 2>&1 || ! command -v redis-benchmark >/dev/null 2>&1 ||
    ! command -v redis-cli >/dev/null 2>&1; then
    echo "Installing redis-server redis-tools"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || fail "apt-get update failed"
    apt-get install -y --no-install-recommends redis-server redis-tools >/dev/null ||
        fail "cannot install redis-server redis-tools"
fi
command -v python3 >/dev/null 2>&1 || fail "python3 is needed"

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVIK_BENCH=ON -DTOVIK_TESTS=OFF >/dev/null ||
    fail "cmake configure failed"
cmake --build "$BUILD" -j 4 --target paramlink_bench >/dev/null || fail "cannot build paramlink_bench"

if unshare -n true 2>/dev/null; then
    exec unshare -n sh -c 'ip link set lo up 2>/dev/null || ifconfig lo up 2>/dev/null; exec sh "$0" --measure' "$SELF"
fi
echo "(no private network namespace here: measuring on this host's loopback)"
measure
