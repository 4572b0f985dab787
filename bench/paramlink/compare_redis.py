#!/usr/bin/env python3
"""The store beside Redis doing the same work; run by compare_redis.sh.

Each figure is measured REPS times (3; 1 with BENCH_SMOKE=1), the two
sides one after the other in each round, and printed as min / median / max
with the ratio of the medians and the goal. Environment: BUILD (the build
directory holding bin/paramlink_bench), SMOKE (1: one short round, no
figure asserted, Redis only if installed).
"""
import json
import os
import resource
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

BUILD = os.environ.get("BUILD", "build-bench")
SMOKE = os.environ.get("SMOKE") == "1"
REPS = 1 if SMOKE else 3
SECONDS = 1 if SMOKE else 3
BENCH = os.path.join(BUILD, "bin", "paramlink_bench")
# Sets refused or not acknowledged in time, events not heard in time.
FAULTS = []


def fail(text):
    print("compare_redis: " + text, file=sys.stderr)
    sys.exit(1)


def loadavg():
    return "%.2f %.2f %.2f" % os.getloadavg()


def cpu_seconds(pid):
    """User and system CPU seconds of a running process."""
    with open("/proc/%d/stat" % pid) as f:
        text = f.read()
    fields = text[text.rindex(")") + 2:].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


class Redis:
    """A private redis-server: keyspace notifications of string commands,
    no output limit for subscribers (the store does not drop watchers
    either), no persistence."""

    def __init__(self, tmp):
        self.port = free_port()
        self.proc = subprocess.Popen(
            ["redis-server", "--bind", "127.0.0.1", "--port", str(self.port), "--save", "", "--appendonly", "no",
             "--dir", tmp, "--notify-keyspace-events", "K$", "--client-output-buffer-limit", "pubsub 0 0 0",
             "--maxclients", "4000"],
            stdout=open(os.path.join(tmp, "redis.log"), "w"), stderr=subprocess.STDOUT)
        for _ in range(100):
            if subprocess.run(["redis-cli", "-h", "127.0.0.1", "-p", str(self.port), "ping"],
                              capture_output=True).returncode == 0:
                return
            if self.proc.poll() is not None:
                break
            time.sleep(0.1)
        fail("redis-server did not start")

    def acknowledged_sets(self):
        """redis-benchmark -t set -c 1 -P 1: sets/s and CPU us per set of
        client and server together."""
        n = 25000 * SECONDS
        server = cpu_seconds(self.proc.pid)
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        out = subprocess.run(["redis-benchmark", "-h", "127.0.0.1", "-p", str(self.port), "-t", "set", "-c", "1",
                              "-P", "1", "-q", "-n", str(n)], capture_output=True, text=True)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        server = cpu_seconds(self.proc.pid) - server
        client = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
        rate = None
        for line in out.stdout.replace("\r", "\n").splitlines():
            if line.startswith("SET:") and "requests per second" in line:
                rate = float(line.split()[1])
        if out.returncode != 0 or rate is None:
            fail("redis-benchmark failed: " + out.stdout + out.stderr)
        return rate, (client + server) * 1e6 / n

    def stop(self):
        self.proc.terminate()
        self.proc.wait()


def run_bench(redis, tmp):
    """One run of every store benchmark (and the Redis ones when Redis
    runs): counters by benchmark name."""
    out = os.path.join(tmp, "bench.json")
    env = dict(os.environ, PARAMLINK_BENCH_SECONDS=str(SECONDS))
    args = [BENCH, "--benchmark_format=json", "--benchmark_out=" + out, "--benchmark_out_format=json"]
    if redis:
        env["REDIS_PORT"] = str(redis.port)
    else:
        args.append("--benchmark_filter=-BM_Redis")
    if subprocess.run(args, env=env, stdout=subprocess.DEVNULL).returncode != 0:
        fail("paramlink_bench failed")
    results = {}
    for b in json.load(open(out))["benchmarks"]:
        name = b["name"].split("/min_time")[0].split("/iterations")[0].split("/real_time")[0]
        if b.get("error_occurred"):
            fail("%s: %s" % (name, b.get("error_message", "error")))
        if b.get("failed", 0) or b.get("lost", 0):
            FAULTS.append("%s: %d refused or lost" % (name, b.get("failed", 0) + b.get("lost", 0)))
        results[name] = b
    return results


def spread(values):
    if not values:
        return "-"
    values = sorted(values)
    if len(values) == 1:
        return "%.4g" % values[0]
    return "%.4g / %.4g / %.4g" % (values[0], statistics.median(values), values[-1])


def main():
    if not os.access(BENCH, os.X_OK):
        fail(BENCH + " is not built")
    have_redis = all(shutil.which(p) for p in ("redis-server", "redis-benchmark", "redis-cli"))
    if not have_redis and not SMOKE:
        fail("redis-server, redis-benchmark and redis-cli are needed")
    tmp = tempfile.mkdtemp()
    redis = Redis(tmp) if have_redis else None
    store = {}
    theirs = {}

    def add(table, key, value):
        table.setdefault(key, []).append(value)

    load_before = loadavg()
    try:
        for _ in range(REPS):
            if redis:
                rate, cpu = redis.acknowledged_sets()
                add(theirs, "ack rate", rate)
                add(theirs, "ack cpu", cpu)
            r = run_bench(redis, tmp)
            add(store, "ack rate", r["BM_AcknowledgedIntegerSets"]["sets_per_s"])
            add(store, "ack cpu", r["BM_AcknowledgedIntegerSets"]["cpu_us_per_set"])
            add(store, "event p50", r["BM_SetToEventLatency"]["median_us"])
            add(store, "event p99", r["BM_SetToEventLatency"]["p99_us"])
            for n in (50, 1000):
                b = r["BM_ManyClients/%d" % n]
                add(store, "many %d rate" % n, b["sets_per_s"])
                add(store, "many %d p99" % n, b["p99_ms"])
                add(store, "many %d heard" % n, b["heard_per_s"])
                if redis:
                    b = r["BM_RedisManyClients/%d" % n]
                    add(theirs, "many %d rate" % n, b["sets_per_s"])
                    add(theirs, "many %d p99" % n, b["p99_ms"])
                    add(theirs, "many %d heard" % n, b["heard_per_s"])
            for n in (100, 1000):
                for kind, table in (("BM_FanOut", "bare"), ("BM_FanOutToListeners", "library")):
                    add(store, "fan %d %s p50" % (n, table), r["%s/%d" % (kind, n)]["median_us"] / 1000)
                    add(store, "fan %d %s p99" % (n, table), r["%s/%d" % (kind, n)]["p99_us"] / 1000)
                if redis:
                    add(theirs, "fan %d p50" % n, r["BM_RedisFanOut/%d" % n]["median_us"] / 1000)
                    add(theirs, "fan %d p99" % n, r["BM_RedisFanOut/%d" % n]["p99_us"] / 1000)
    finally:
        if redis:
            redis.stop()
        shutil.rmtree(tmp, ignore_errors=True)

    def ratio(a, b):
        if a not in store or b not in theirs:
            return "-"
        return "%.2f" % (statistics.median(store[a]) / statistics.median(theirs[b]))

    rows = [
        ("acknowledged sets, one connection (sets/s)", "ack rate", "ack rate", ">= 1.5"),
        ("CPU per acknowledged set, client + server (us)", "ack cpu", "ack cpu", "<= 1.0"),
        ("50 clients setting and watching (sets/s)", "many 50 rate", "many 50 rate", ">= 1.0"),
        ("  acknowledgement p99 (ms)", "many 50 p99", "many 50 p99", ""),
        ("  changes heard (1/s)", "many 50 heard", "many 50 heard", ""),
        ("1,000 clients setting and watching (sets/s)", "many 1000 rate", "many 1000 rate", ">= 1.0"),
        ("  acknowledgement p99 (ms)", "many 1000 p99", "many 1000 p99", "<= 1.0"),
        ("  changes heard (1/s)", "many 1000 heard", "many 1000 heard", ""),
        ("set -> event through the library, median (us)", "event p50", None, ""),
        ("set -> event through the library, p99 (us)", "event p99", None, "< 100 us"),
        ("fan-out to 100, bare watchers, median (ms)", "fan 100 bare p50", "fan 100 p50", ""),
        ("fan-out to 100, bare watchers, p99 (ms)", "fan 100 bare p99", "fan 100 p99", "<= 1.0"),
        ("fan-out to 100, library listeners, p99 (ms)", "fan 100 library p99", "fan 100 p99", "<= 1.0"),
        ("fan-out to 1,000, bare watchers, median (ms)", "fan 1000 bare p50", "fan 1000 p50", ""),
        ("fan-out to 1,000, bare watchers, p99 (ms)", "fan 1000 bare p99", "fan 1000 p99", "<= 1.0"),
        ("fan-out to 1,000, library listeners, p99 (ms)", "fan 1000 library p99", "fan 1000 p99", "<= 1.0"),
    ]
    print("store against Redis, %d round%s of %d s per figure (min / median / max)%s" %
          (REPS, "" if REPS == 1 else "s", SECONDS, ", smoke run: no goal asserted" if SMOKE else ""))
    print("load average before: %s, after: %s, %d cores" % (load_before, loadavg(), os.cpu_count()))
    if not redis:
        print("(Redis is not installed: its side is left out)")
    width = max(len(r[0]) for r in rows)
    print("%-*s  %-26s  %-26s  %-6s  %s" % (width, "figure", "store", "redis", "ratio", "goal"))
    for title, ours, other, goal in rows:
        print("%-*s  %-26s  %-26s  %-6s  %s" % (width, title, spread(store.get(ours, [])),
                                                spread(theirs.get(other, [])) if other else "",
                                                ratio(ours, other) if other else "", goal))
    for fault in FAULTS:
        print("fault: " + fault)
    if FAULTS and not SMOKE:
        sys.exit(1)


if __name__ == "__main__":
    main()
