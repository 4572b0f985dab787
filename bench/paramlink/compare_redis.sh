#!/bin/sh
# The parameter store beside Redis doing the same work, each figure as
# min / median / max of 3 rounds with the ratio and its goal, and the load
# average (compare_redis.py measures and prints):
#   - acknowledged sets on one connection: a socket config's
#     SetIntegerValue in a loop against redis-benchmark -t set -c 1 -P 1
#     (SET, wait for +OK), and the CPU time both programs and their servers
#     spend per set;
#   - 50 and 1,000 clients, each setting its own parameter (Redis: its own
#     key) to a new value as fast as acknowledgements come, each watching
#     every change (a listener on its config; Redis: a subscriber to the
#     keyspace notifications of every key): sets per second, acknowledgement
#     latency;
#   - set -> event latency through the library (a set by one config, heard
#     by another config's listener);
#   - fan-out from a set (Redis: PUBLISH) to the last of 100 and 1,000
#     watchers: bare connections read by one thread on both sides, and
#     socket configs with listeners.
# Installs redis-server and redis-tools when missing, builds the store
# benchmark, then measures inside a private network namespace that has only
# loopback (on this host's loopback when no namespace can be made), with
# its own redis-server on a free port that it stops again. Exits non-zero
# when any step fails.
#
# BENCH_SMOKE=1: one round of about a second per figure, nothing installed
# (Redis's side only if it is there), no figure asserted; exits 0 when it
# ran.
set -eu
SELF=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
HERE=$(dirname "$SELF")
cd "$HERE/../.."
BUILD=${BUILD_DIR:-build-bench}
SMOKE=${BENCH_SMOKE:-0}
export BUILD SMOKE

fail() {
    echo "compare_redis: $*" >&2
    exit 1
}

if [ "${1:-}" = "--measure" ]; then
    exec python3 "$HERE/compare_redis.py"
fi

if [ "$SMOKE" != 1 ] && { ! command -v redis-server >/dev/null 2>&1 || ! command -v redis-benchmark >/dev/null 2>&1 ||
    ! command -v redis-cli >/dev/null 2>&1; }; then
    echo "Installing redis-server redis-tools"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || fail "apt-get update failed"
    apt-get install -y --no-install-recommends redis-server redis-tools >/dev/null ||
        fail "cannot install redis-server redis-tools"
fi
command -v python3 >/dev/null 2>&1 || fail "python3 is needed"

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVIK_BENCH=ON -DTOVIK_TESTS="${TOVIK_TESTS:-OFF}" >/dev/null ||
    fail "cmake configure failed"
cmake --build "$BUILD" -j 4 --target paramlink_bench >/dev/null || fail "cannot build paramlink_bench"

# The fan-out and many-clients benchmarks hold thousands of connections.
ulimit -n "$(ulimit -Hn)" 2>/dev/null || true
if unshare -n true 2>/dev/null; then
    exec unshare -n sh -c 'ip link set lo up 2>/dev/null || ifconfig lo up 2>/dev/null; exec sh "$0" --measure' "$SELF"
fi
echo "(no private network namespace here: measuring on this host's loopback)"
exec python3 "$HERE/compare_redis.py"
