#!/bin/sh
# Acknowledged sets per second on one loopback connection: our store next to
# Redis (redis-benchmark -t set -P 1 -c 1), our rate divided by Redis's; and
# event fan-out to 100 and 1,000 watching clients, from the set (or PUBLISH)
# to the last watcher's copy, median and 99th percentile, beside Redis
# pub/sub with as many subscribers.
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

    REDIS_PORT=$PORT "$BUILD/bin/paramlink_bench" --benchmark_format=json --benchmark_out="$TMP/ours.json" \
        --benchmark_out_format=json >/dev/null || fail "paramlink_bench failed"
    python3 - "$TMP/ours.json" "$REDIS_RATE" <<'PY' || fail "the store benchmark's results are incomplete"
import json, sys
data = json.load(open(sys.argv[1]))
redis_rate = float(sys.argv[2])
rate = latency = None
fan = {}
for b in data["benchmarks"]:
    name = b["name"].split("/min_time")[0]
    if b.get("error_occurred"):
        sys.exit("%s: %s" % (name, b.get("error_message", "error")))
    if b.get("failed", 0) or b.get("lost", 0):
        sys.exit("%s: %d refused or lost" % (name, b.get("failed", 0) + b.get("lost", 0)))
    if name == "BM_AcknowledgedIntegerSets":
        rate = b["sets_per_s"]
    elif name == "BM_SetToEventLatency":
        latency = (b["median_us"], b["p99_us"])
    else:
        kind, watchers = name.split("/")
        fan[(kind, int(watchers))] = (b["median_us"] / 1000, b["p99_us"] / 1000)
kinds = ["BM_FanOut", "BM_RedisFanOut", "BM_FanOutToListeners"]
if rate is None or latency is None or len(fan) != 6 or any((k, n) not in fan for k in kinds for n in (100, 1000)):
    sys.exit("benchmarks missing from the output")
print("redis SET, 1 client, no pipelining: %.0f requests/s" % redis_rate)
print("store acknowledged integer sets:     %.0f sets/s" % rate)
print("ratio (store / redis):               %.2f" % (rate / redis_rate))
print("store set-to-event latency:          median %.1f us, p99 %.1f us" % latency)
print("fan-out, set to the last watcher's copy, median / p99 in ms:")
print("  watchers  store (bare)     redis pub/sub    store (library listeners)")
for n in (100, 1000):
    print("  %-8d  %s" % (n, "  ".join("%6.2f / %6.2f " % fan[(k, n)] for k in kinds)))
PY
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
