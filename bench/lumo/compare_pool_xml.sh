#!/bin/sh
# The memory pool against glibc malloc/posix_memalign and jemalloc, and the
# XML reader against expat and pugixml. Installs the comparison packages when
# missing, builds optimised, runs both benchmarks (the C library rows once more
# with jemalloc preloaded) and prints the tables: medians of three runs.
# Not the same work on the XML side: liblumo's reader does not check that
# close tags match their open tags, nor encodings, and knows only the five
# predefined entities; expat does all of that.
# BENCH_SMOKE=1: installs nothing, runs every row once for a moment (the
# other libraries' only when installed), asserts no figure.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${BUILD_DIR:-build-bench}
SMOKE=${BENCH_SMOKE:-0}
MIN_TIME=${MIN_TIME:-0.3}
REPETITIONS=3
if [ "$SMOKE" = 1 ]; then
    MIN_TIME=0.001
    REPETITIONS=1
fi

fail() {
    echo "compare_pool_xml: $*" >&2
    exit 1
}

missing=""
for p in libjemalloc-dev libpugixml-dev libexpat1-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ] && [ "$SMOKE" != 1 ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || fail "apt-get update failed"
    apt-get install -y --no-install-recommends $missing >/dev/null || fail "cannot install$missing"
fi
command -v python3 >/dev/null 2>&1 || fail "python3 is needed"
JEMALLOC=$(dpkg -L libjemalloc2 2>/dev/null | grep '/libjemalloc\.so\.2$' | head -n 1)
[ -n "$JEMALLOC" ] || [ "$SMOKE" = 1 ] || fail "libjemalloc.so.2 not found"

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVIK_BENCH=ON -DTOVIK_TESTS="${TOVIK_TESTS:-OFF}" >/dev/null ||
    fail "cmake configure failed"
cmake --build "$BUILD" -j 4 --target lumo_pool_bench lumo_xml_bench >/dev/null || fail "build failed"

OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
run() {
    name=$1
    shift
    "$@" --benchmark_min_time="$MIN_TIME" --benchmark_repetitions="$REPETITIONS" --benchmark_report_aggregates_only=true \
        --benchmark_format=json --benchmark_out="$OUT/$name.json" --benchmark_out_format=json >/dev/null ||
        fail "$name failed"
}
[ "$SMOKE" = 1 ] || echo "Running the pool benchmark (a few minutes)"
run pool "$BUILD/bin/lumo_pool_bench"
if [ -n "$JEMALLOC" ]; then
    run jemalloc env LD_PRELOAD="$JEMALLOC" "$BUILD/bin/lumo_pool_bench" --benchmark_filter='Malloc'
else
    echo "(jemalloc is not installed: its column stays empty)"
    echo '{"benchmarks": []}' >"$OUT/jemalloc.json"
fi
[ "$SMOKE" = 1 ] || echo "Running the XML benchmark"
run xml "$BUILD/bin/lumo_xml_bench"

python3 - "$OUT" "$SMOKE" <<'PY' || fail "incomplete results"
import json, re, sys
out = sys.argv[1]
smoke = sys.argv[2] == "1"
def medians(name):
    rows = {}
    for b in json.load(open("%s/%s.json" % (out, name)))["benchmarks"]:
        if b.get("error_occurred"):
            sys.exit("%s: %s" % (b["name"], b.get("error_message", "error")))
        if b.get("aggregate_name") == "median" or smoke:
            rows[b["run_name"]] = b
    return rows
pool, jem, xml = medians("pool"), medians("jemalloc"), medians("xml")

def ns(rows, name):
    b = rows.get(name)
    if b is None:
        if smoke and rows is jem:
            return None
        sys.exit("missing " + name)
    scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
    return b["real_time"] * scale

def fmt(v):
    if v is None:
        return "-"
    if v >= 1e6:
        return "%.1f ms" % (v / 1e6)
    if v >= 1e3:
        return "%.1f us" % (v / 1e3)
    return "%.0f ns" % v

print("\nPool: one allocate + free (median wall time per operation of all threads together)\n")
print("| block | pages | threads | pool | glibc malloc | glibc posix_memalign | jemalloc | pool / glibc malloc |")
print("|---|---|---|---|---|---|---|---|")
for write, label in ((0, "untouched"), (1, "written")):
    for tenths in (14, 83, 330):
        for threads in (1, 2, 8):
            key = "BM_Frame<%%s>/%d/%d/real_time/threads:%d" % (tenths, write, threads)
            p, m, a, j = ns(pool, key % "Pool"), ns(pool, key % "Malloc"), ns(pool, key % "Memalign"), ns(jem, key % "Malloc")
            print("| %.1f MiB | %s | %d | %s | %s | %s | %s | %.2f |" %
                  (tenths / 10, label, threads, fmt(p), fmt(m), fmt(a), fmt(j), p / m))
for threads in (1, 2, 8):
    key = "BM_Random<%%s>/real_time/threads:%d" % threads
    p, m, a, j = ns(pool, key % "Pool"), ns(pool, key % "Malloc"), ns(pool, key % "Memalign"), ns(jem, key % "Malloc")
    print("| 1 KiB-8 MiB, 32 live | random | %d | %s | %s | %s | %s | %.2f |" %
          (threads, fmt(p), fmt(m), fmt(a), fmt(j), p / m))

def mbs(name):
    b = xml.get(name)
    if b is None:
        return None
    return b["bytes_per_second"] / 1e6

def col(v):
    return "-" if v is None else "%.0f" % v

print("\nXML (MB/s, median). Not the same work: liblumo checks neither that close tags match nor")
print("encodings, and knows the five predefined entities only; expat checks both and reads the DTD's.\n")
print("| document | liblumo events | expat events | liblumo / expat | liblumo tree (bytes) | liblumo stringToXML | pugixml tree |")
print("|---|---|---|---|---|---|---|")
for i, doc in enumerate(("10 KB config-like", "10 MB small elements", "10 MB text-heavy")):
    ev, ex = mbs("BM_EventsLumo/%d" % i), mbs("BM_EventsExpat/%d" % i)
    tb, ts, pg = mbs("BM_TreeLumoBytes/%d" % i), mbs("BM_TreeLumoString/%d" % i), mbs("BM_TreePugixml/%d" % i)
    if None in (ev, tb, ts) or (None in (ex, pg) and not smoke):
        sys.exit("missing XML results for " + doc + " (were expat and pugixml found?)")
    ratio = "-" if ex is None else "%.2f" % (ev / ex)
    print("| %s | %s | %s | %s | %s | %s | %s |" % (doc, col(ev), col(ex), ratio, col(tb), col(ts), col(pg)))
PY
