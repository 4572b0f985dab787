#!/bin/sh
# The log benchmark beside spdlog's asynchronous logger: installs
# libspdlog-dev when missing, builds lumo_log_bench optimised and runs it.
# Prints p50/p90/p99 caller latency and writer lines per second of each
# logger. Not the same work in a burst: liblumo's queue has no bound, so its
# caller never waits, while spdlog's queue (8,192 lines) blocks its caller
# once full, so spdlog's burst latencies include waiting for its writer.
# BENCH_SMOKE=1: installs nothing, runs each logger briefly (spdlog only when
# it is installed), asserts no figure.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${BUILD_DIR:-build-bench}
SMOKE=${BENCH_SMOKE:-0}

fail() {
    echo "compare_spdlog: $*" >&2
    exit 1
}

if [ "$SMOKE" != 1 ] && ! dpkg-query -W -f='${Status}' libspdlog-dev 2>/dev/null | grep -q "install ok installed"; then
    echo "Installing libspdlog-dev"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || fail "apt-get update failed"
    apt-get install -y --no-install-recommends libspdlog-dev >/dev/null || fail "cannot install libspdlog-dev"
fi
command -v python3 >/dev/null 2>&1 || fail "python3 is needed"

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVIK_BENCH=ON -DTOVIK_TESTS="${TOVIK_TESTS:-OFF}" >/dev/null ||
    fail "cmake configure failed"
cmake --build "$BUILD" -j 4 --target lumo_log_bench >/dev/null || fail "cannot build lumo_log_bench"

OUT=$(mktemp)
trap 'rm -f "$OUT"' EXIT
"$BUILD/bin/lumo_log_bench" --benchmark_format=json --benchmark_out="$OUT" --benchmark_out_format=json >/dev/null ||
    fail "lumo_log_bench failed"
python3 - "$OUT" "$SMOKE" <<'PY' || fail "incomplete results"
import json, sys
rows = json.load(open(sys.argv[1]))["benchmarks"]
smoke = sys.argv[2] == "1"
for b in rows:
    if b.get("error_occurred"):
        sys.exit("%s: %s" % (b["name"], b.get("error_message", "error")))
spdlog = any(b["name"].startswith("BM_CallerSpdlog") for b in rows)
if not spdlog:
    if not smoke:
        sys.exit("spdlog's rows are missing (was libspdlog-dev found?)")
    print("(spdlog is not installed: liblumo and fprintf alone)")
def find(prefix, label):
    for b in rows:
        if b["name"].startswith(prefix) and b.get("label", "") == label:
            return b
    sys.exit("missing %s (%s)" % (prefix, label))
print("caller latency (ns)                              p50      p90      p99")
for title, prefix, label in [
        ("liblumo, written, burst", "BM_CallerLumo", "passed, burst"),
        ("liblumo, written, one per 10 us", "BM_CallerLumo", "passed, one per 10 us"),
        ("liblumo, filtered", "BM_CallerLumo", "filtered, burst"),
        ("fprintf+fflush, burst", "BM_CallerFprintf", "burst"),
        ("fprintf+fflush, one per 10 us", "BM_CallerFprintf", "one per 10 us"),
        ("spdlog async, burst (blocks at 8,192)", "BM_CallerSpdlog", "burst"),
        ("spdlog async, one per 10 us", "BM_CallerSpdlog", "one per 10 us")]:
    if prefix == "BM_CallerSpdlog" and not spdlog:
        continue
    b = find(prefix, label)
    print("  %-42s %8.0f %8.0f %8.0f" % (title, b["p50_ns"], b["p90_ns"], b["p99_ns"]))
print("writer throughput to a file (lines/s)")
lumo = find("BM_WriterLumo", "")["lines_per_s"]
for title, prefix, label in [
        ("liblumo (one write per line)", "BM_WriterLumo", ""),
        ("fprintf+fflush (synchronous)", "BM_WriterFprintf", ""),
        ("spdlog async, flush per line", "BM_WriterSpdlog", "flush every line"),
        ("spdlog async, buffered", "BM_WriterSpdlog", "buffered")]:
    if prefix == "BM_WriterSpdlog" and not spdlog:
        continue
    rate = find(prefix, label)["lines_per_s"]
    print("  %-42s %10.0f  (liblumo / this: %.2f)" % (title, rate, lumo / rate))
PY
