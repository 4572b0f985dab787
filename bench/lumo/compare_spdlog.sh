#!/bin/sh
# The log benchmark beside spdlog's asynchronous logger: installs
# libspdlog-dev when missing, builds lumo_log_bench optimised and runs it.
# Prints p50/p99 caller latency and writer lines per second of each logger.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${BUILD_DIR:-build-bench}

fail() {
    echo "compare_spdlog: $*" >&2
    exit 1
}

if ! dpkg-query -W -f='${Status}' libspdlog-dev 2>/dev/null | grep -q "install ok installed"; then
    echo "Installing libspdlog-dev"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || fail "apt-get update failed"
    apt-get install -y --no-install-recommends libspdlog-dev >/dev/null || fail "cannot install libspdlog-dev"
fi
command -v python3 >/dev/null 2>&1 || fail "python3 is needed"

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVIK_BENCH=ON -DTOVIK_TESTS=OFF >/dev/null ||
    fail "cmake configure failed"
cmake --build "$BUILD" -j 4 --target lumo_log_bench >/dev/null || fail "cannot build lumo_log_bench"

OUT=$(mktemp)
trap 'rm -f "$OUT"' EXIT
"$BUILD/bin/lumo_log_bench" --benchmark_format=json --benchmark_out="$OUT" --benchmark_out_format=json >/dev/null ||
    fail "lumo_log_bench failed"
python3 - "$OUT" <<'PY' || fail "incomplete results"
import json, sys
rows = json.load(open(sys.argv[1]))["benchmarks"]
def find(prefix, label=None):
    for b in rows:
        if b["name"].startswith(prefix) and (label is None or b.get("label") == label):
            return b
    sys.exit("missing " + prefix)
print("caller latency (ns)                 p50      p99")
for title, b in [("liblumo, line written", find("BM_CallerLumo", "passed")),
                 ("liblumo, line filtered", find("BM_CallerLumo", "filtered")),
                 ("fprintf+fflush (synchronous)", find("BM_CallerFprintf")),
                 ("spdlog async, flush per line", find("BM_CallerSpdlog"))]:
    print("  %-30s %8.0f %8.0f" % (title, b["p50_ns"], b["p99_ns"]))
print("writer throughput (lines/s)")
lumo = find("BM_WriterLumo")["lines_per_s"]
for title, b in [("liblumo (flush per line)", find("BM_WriterLumo")),
                 ("fprintf+fflush (synchronous)", find("BM_WriterFprintf")),
                 ("spdlog async, flush per line", find("BM_WriterSpdlog", "flush every line")),
                 ("spdlog async, buffered", find("BM_WriterSpdlog", "buffered"))]:
    print("  %-30s %10.0f  (liblumo / this: %.2f)" % (title, b["lines_per_s"], lumo / b["lines_per_s"]))
PY
