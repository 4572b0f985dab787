// The memory pool against the C library: allocate and free frame-sized
// blocks (1.4, 8.3 and 33 MiB, untouched or with every page written), and
// random sizes against a live set, at 1, 2 and 8 threads sharing one
// allocator. "malloc" is whatever malloc the process has: glibc's, or
// jemalloc's when compare_pool_xml.sh preloads it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "lumo/lumomemorypool.h"

namespace {

const size_t kPage = 4096;
const size_t kMiB = 1 << 20;

// One pool for the whole run, like the library-wide pool.
LumoMemoryPool& pool()
{
    static LumoMemoryPool* p = new LumoMemoryPool(512, 0);
    return *p;
}

struct Pool {
    static void* get(size_t size) { return pool().allocate(unsigned(size)); }
    static void put(void* p) { pool().free(p); }
};

struct Malloc {
    static void* get(size_t size) { return malloc(size); }
    static void put(void* p) { free(p); }
};

struct Memalign {
    static void* get(size_t size)
    {
        void* p = nullptr;
        return posix_memalign(&p, kPage, size) == 0 ? p : nullptr;
    }
    static void put(void* p) { free(p); }
};

void touch(void* p, size_t size)
{
    char* c = static_cast<char*>(p);
    for (size_t at = 0; at < size; at += kPage)
        c[at] = 1;
}

// range(0): block size in units of 0.1 MiB; range(1): 1 writes every page.
template <typename A> void BM_Frame(benchmark::State& state)
{
    const size_t size = size_t(state.range(0)) * kMiB / 10;
    const bool write = state.range(1) != 0;
    for (auto _ : state) {
        void* p = A::get(size);
        if (!p) {
            state.SkipWithError("out of memory");
            break;
        }
        if (write)
            touch(p, size);
        benchmark::DoNotOptimize(p);
        A::put(p);
    }
    state.SetLabel(write ? "written" : "untouched");
}

// A live set of 32 blocks per thread; each step frees one at random and
// allocates a new one of a log-uniform size from 1 KiB to 8 MiB.
template <typename A> void BM_Random(benchmark::State& state)
{
    const int kLive = 32;
    std::mt19937 random(unsigned(state.thread_index()) * 7919u + 1);
    std::uniform_real_distribution<double> exponent(10.0, 23.0);
    std::vector<size_t> sizes(4096);
    for (size_t& s : sizes)
        s = size_t(std::exp2(exponent(random)));
    std::vector<unsigned> victims(4096);
    for (unsigned& v : victims)
        v = unsigned(random() % kLive);
    std::vector<void*> live(kLive);
    for (int i = 0; i < kLive; ++i)
        live[size_t(i)] = A::get(sizes[size_t(i)]);
    size_t step = 0;
    for (auto _ : state) {
        const size_t at = victims[step % victims.size()];
        A::put(live[at]);
        live[at] = A::get(sizes[step % sizes.size()]);
        if (!live[at]) {
            state.SkipWithError("out of memory");
            break;
        }
        static_cast<char*>(live[at])[0] = 1;
        ++step;
    }
    for (void* p : live)
        A::put(p);
}

// Frame sizes in tenths of a MiB, untouched and written, at 1, 2 and 8 threads.
void frameArgs(benchmark::internal::Benchmark* b)
{
    for (int write : {0, 1})
        for (int tenths : {14, 83, 330})
            b->Args({tenths, write});
    b->Threads(1)->Threads(2)->Threads(8)->UseRealTime();
}

void randomArgs(benchmark::internal::Benchmark* b)
{
    b->Threads(1)->Threads(2)->Threads(8)->UseRealTime();
}

BENCHMARK_TEMPLATE(BM_Frame, Pool)->Apply(frameArgs);
BENCHMARK_TEMPLATE(BM_Frame, Malloc)->Apply(frameArgs);
BENCHMARK_TEMPLATE(BM_Frame, Memalign)->Apply(frameArgs);
BENCHMARK_TEMPLATE(BM_Random, Pool)->Apply(randomArgs);
BENCHMARK_TEMPLATE(BM_Random, Malloc)->Apply(randomArgs);
BENCHMARK_TEMPLATE(BM_Random, Memalign)->Apply(randomArgs);

} // namespace

BENCHMARK_MAIN();
