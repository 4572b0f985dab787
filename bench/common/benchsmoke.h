// Smoke mode of the benchmarks (BENCH_SMOKE=1, as ./test.sh and
// bench/run-all.sh --smoke set it): every benchmark runs briefly, to show
// that it still builds and runs; no figure of such a run means anything.
#ifndef TOVIK_BENCH_BENCHSMOKE_H
#define TOVIK_BENCH_BENCHSMOKE_H

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace benchsmoke {

inline bool On()
{
    const char* value = std::getenv("BENCH_SMOKE");
    return value && std::strcmp(value, "1") == 0;
}

// A count or a time: the full one, or the smoke one in smoke mode.
inline std::int64_t Count(std::int64_t full, std::int64_t smoke)
{
    return On() ? smoke : full;
}

inline double Seconds(double full, double smoke = 0.01)
{
    return On() ? smoke : full;
}

} // namespace benchsmoke

#endif
