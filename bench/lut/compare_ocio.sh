#!/bin/sh
# LUT import time next to OpenColorIO reading the same file: a 17-point
# .cube (4913 rows) and a 4096-row 1D .cube. Prints both times and our time
# divided by OpenColorIO's (the goal is 0.5 or less).
# Installs libopencolorio-dev when missing (for this benchmark only), builds
# lut_bench optimised in $BUILD_DIR (default build-bench), and runs it.
# BENCH_SMOKE=1: installs nothing, runs each side once for a moment
# (OpenColorIO only when it is installed), asserts no figure.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${BUILD_DIR:-build-bench}
SMOKE=${BENCH_SMOKE:-0}

fail() {
    echo "compare_ocio: $*" >&2
    exit 1
}

if [ "$SMOKE" != 1 ] && ! dpkg-query -W -f='${Status}' libopencolorio-dev 2>/dev/null | grep -q "install ok installed"; then
    echo "Installing libopencolorio-dev"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || fail "apt-get update failed"
    apt-get install -y --no-install-recommends libopencolorio-dev >/dev/null ||
        fail "cannot install libopencolorio-dev"
fi
command -v python3 >/dev/null 2>&1 || fail "python3 is needed"

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVIK_BENCH=ON -DTOVIK_TESTS="${TOVIK_TESTS:-OFF}" >/dev/null ||
    fail "cmake configure failed"
cmake --build "$BUILD" -j 4 --target lut_bench >/dev/null || fail "cannot build lut_bench"

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
REPEAT="--benchmark_repetitions=5"
[ "$SMOKE" = 1 ] && REPEAT="--benchmark_min_time=0.01"
"$BUILD/bin/lut_bench" $REPEAT --benchmark_report_aggregates_only=true \
    --benchmark_out="$TMP/lut.json" --benchmark_out_format=json >/dev/null || fail "lut_bench failed"
python3 - "$TMP/lut.json" "$SMOKE" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
smoke = sys.argv[2] == "1"
median = {}
for b in data["benchmarks"]:
    if b.get("error_occurred"):
        sys.exit("%s: %s" % (b["name"], b.get("error_message", "error")))
    if b.get("aggregate_name") == "median" or smoke:
        median[b["run_name"]] = b["real_time"]
pairs = [("17-point .cube (4913 rows)", "BM_ImportCube17", "BM_OcioCube17"),
         ("1D .cube (4096 rows)", "BM_Import1D4096", "BM_Ocio1D4096")]
for label, ours, theirs in pairs:
    if ours not in median or (theirs not in median and not smoke):
        sys.exit("missing results for " + label + " (was OpenColorIO found?)")
    if theirs not in median:
        print("%-28s ours %8.1f us   (OpenColorIO is not installed)" % (label, median[ours]))
        continue
    print("%-28s ours %8.1f us   OpenColorIO %8.1f us   ratio %.2f"
          % (label, median[ours], median[theirs], median[ours] / median[theirs]))
PY
