#!/bin/sh
# A one-shot get as a whole process: "knobctl -get" of one box parameter
# from the config-0 store next to "redis-cli get" of one key from Redis.
# Prints both median times and knobctl's time divided by redis-cli's (the goal
# is at most 1.0). Installs redis-server and redis-tools when missing,
# builds knobctl and the benchmark (optimised), then measures inside a
# private network namespace with only loopback (the store's port is fixed),
# with its own store and redis-server that it stops again. Exits non-zero
# when any step fails.
# BENCH_SMOKE=1: installs nothing, runs each side briefly (Redis's only when
# it is installed), asserts no figure.
set -eu
SELF=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
cd "$(dirname "$SELF")/../.."
BUILD=${BUILD_DIR:-build-bench}
SMOKE=${BENCH_SMOKE:-0}
export BUILD SMOKE

fail() {
    echo "compare_redis: $*" >&2
    exit 1
}

measure() {
    TMP=$(mktemp -d)
    REDIS_PID=
    STORE_PID=
    cleanup() {
        for pid in $REDIS_PID $STORE_PID; do
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        done
        rm -rf "$TMP"
    }
    trap cleanup EXIT
    trap 'exit 1' INT TERM

    "$BUILD/bin/tovik-configstore" >"$TMP/store.log" 2>&1 &
    STORE_PID=$!
    REDIS=0
    if command -v redis-server >/dev/null 2>&1 && command -v redis-cli >/dev/null 2>&1; then
        REDIS=1
        PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()') ||
            fail "no free loopback port"
        redis-server --bind 127.0.0.1 --port "$PORT" --save '' --appendonly no --daemonize no \
            --dir "$TMP" >"$TMP/redis.log" 2>&1 &
        REDIS_PID=$!
    fi
    i=0
    until grep -q "serving config 0" "$TMP/store.log" &&
        { [ $REDIS = 0 ] || redis-cli -h 127.0.0.1 -p "$PORT" ping >/dev/null 2>&1; }; do
        i=$((i + 1))
        if [ $i -gt 50 ] || ! kill -0 "$STORE_PID" 2>/dev/null || { [ $REDIS = 1 ] && ! kill -0 "$REDIS_PID" 2>/dev/null; }; then
            cat "$TMP/store.log" >&2
            [ $REDIS = 0 ] || cat "$TMP/redis.log" >&2
            fail "redis-server or the config-0 store did not start"
        fi
        sleep 0.1
    done
    FILTER=.
    if [ $REDIS = 1 ]; then
        redis-cli -h 127.0.0.1 -p "$PORT" set knobctl-bench 0 >/dev/null || fail "cannot set the redis key"
    else
        echo "(Redis is not installed: knobctl alone)"
        FILTER=BM_KnobctlGet
    fi
    REPETITIONS=12
    [ "$SMOKE" = 1 ] && REPETITIONS=1

    # knobctl reads its start-up file from HOME: an empty one here.
    mkdir "$TMP/home"
    HOME="$TMP/home" KNOBCTL="$BUILD/bin/knobctl" REDIS_PORT="${PORT:-0}" REDIS_KEY=knobctl-bench \
        "$BUILD/bin/knobctl_bench" --benchmark_filter="$FILTER" --benchmark_repetitions="$REPETITIONS" \
        --benchmark_enable_random_interleaving=true --benchmark_format=json --benchmark_out="$TMP/bench.json" \
        --benchmark_out_format=json >/dev/null || fail "knobctl_bench failed"
    python3 - "$TMP/bench.json" "$SMOKE" <<'PY' || fail "the benchmark's results are incomplete"
import json, sys
data = json.load(open(sys.argv[1]))
smoke = sys.argv[2] == "1"
times = {}
for b in data["benchmarks"]:
    if b.get("error_occurred"):
        sys.exit("%s: %s" % (b["name"], b.get("error_message", "error")))
    if b.get("run_type") == "aggregate" and b.get("aggregate_name") == "median" or smoke:
        times[b["run_name"].split("/")[0]] = b["real_time"]
if "BM_KnobctlGet" not in times:
    sys.exit("knobctl's benchmark is missing from the output")
print("knobctl -get, whole process (median): %8.0f us" % times["BM_KnobctlGet"])
if "BM_RedisCliGet" in times:
    print("redis-cli get, whole process (median): %7.0f us" % times["BM_RedisCliGet"])
    print("ratio (knobctl / redis-cli): %.2f" % (times["BM_KnobctlGet"] / times["BM_RedisCliGet"]))
PY
}

if [ "${1:-}" = "--measure" ]; then
    measure
    exit 0
fi

if [ "$SMOKE" != 1 ] && { ! command -v redis-server >/dev/null 2>&1 || ! command -v redis-cli >/dev/null 2>&1; }; then
    echo "Installing redis-server redis-tools"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || fail "apt-get update failed"
    apt-get install -y --no-install-recommends redis-server redis-tools >/dev/null ||
        fail "cannot install redis-server redis-tools"
fi
command -v python3 >/dev/null 2>&1 || fail "python3 is needed"

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVIK_BENCH=ON -DTOVIK_TESTS="${TOVIK_TESTS:-OFF}" >/dev/null ||
    fail "cmake configure failed"
cmake --build "$BUILD" -j 4 --target knobctl_bench knobctl tovik-configstore >/dev/null ||
    fail "cannot build knobctl_bench"

if unshare -n true 2>/dev/null; then
    exec unshare -n sh -c 'ip link set lo up 2>/dev/null || ifconfig lo up 2>/dev/null; exec sh "$0" --measure' "$SELF"
fi
echo "(no private network namespace here: measuring on this host's loopback)"
measure
