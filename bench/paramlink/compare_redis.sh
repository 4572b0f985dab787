#!/bin/sh
# Acknowledged sets per second on one loopback connection: our store next to
# Redis (redis-benchmark -t set -P 1 -c 1). Prints our rate divided by Redis's.
# Installs redis-server and redis-tools when missing, and runs its own
# redis-server on a free loopback port.
set -e
cd "$(dirname "$0")/../.."
BUILD=${BUILD_DIR:-build-bench}
REQUESTS=${REQUESTS:-100000}

if ! command -v redis-server >/dev/null 2>&1 || ! command -v redis-benchmark >/dev/null 2>&1; then
    echo "Installing redis-server redis-tools"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y --no-install-recommends redis-server redis-tools >/dev/null
fi

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVIK_BENCH=ON -DTOVIK_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j 4 --target paramlink_bench >/dev/null

# A free loopback port, asked of the kernel.
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()')
TMP=$(mktemp -d)
redis-server --bind 127.0.0.1 --port "$PORT" --save '' --appendonly no --daemonize no \
    --dir "$TMP" >"$TMP/redis.log" 2>&1 &
REDIS_PID=$!
trap 'kill $REDIS_PID 2>/dev/null; wait $REDIS_PID 2>/dev/null; rm -rf "$TMP"' EXIT INT TERM
i=0
until redis-cli -h 127.0.0.1 -p "$PORT" ping >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -gt 50 ] && { echo "redis-server did not start"; cat "$TMP/redis.log"; exit 1; }
    sleep 0.1
done

REDIS_LINE=$(redis-benchmark -h 127.0.0.1 -p "$PORT" -t set -P 1 -c 1 -q -n "$REQUESTS" | tr '\r' '\n' | grep 'requests per second' | tail -1)
REDIS_RATE=$(echo "$REDIS_LINE" | sed -n 's/^ *SET: \([0-9.]*\) requests per second.*/\1/p')

"$BUILD/bin/paramlink_bench" --benchmark_format=json --benchmark_out="$TMP/ours.json" \
    --benchmark_out_format=json >/dev/null
OURS=$(python3 - "$TMP/ours.json" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
for b in data["benchmarks"]:
    if b["name"].startswith("BM_AcknowledgedIntegerSets"):
        print("rate %.2f" % b["sets_per_s"])
    if b["name"].startswith("BM_SetToEventLatency"):
        print("latency %.1f %.1f" % (b["median_us"], b["p99_us"]))
PY
)
OUR_RATE=$(echo "$OURS" | awk '/^rate/ {print $2}')
LATENCY=$(echo "$OURS" | awk '/^latency/ {print "median " $2 " us, p99 " $3 " us"}')

echo "redis SET, 1 client, no pipelining: $REDIS_RATE requests/s"
echo "store acknowledged integer sets:     $OUR_RATE sets/s"
echo "store set-to-event latency:          $LATENCY"
python3 -c "import sys; print('ratio (store / redis): %.2f' % (float(sys.argv[1]) / float(sys.argv[2])))" "$OUR_RATE" "$REDIS_RATE"
