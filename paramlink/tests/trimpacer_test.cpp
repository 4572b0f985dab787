// When a server gives freed heap back: once what it holds for its clients
// has fallen by a MiB from its highest since the last trim, at once the
// first time and then no sooner than two seconds after the last trim.
#include <gtest/gtest.h>

#include "trimpacer.h"

using paramlink::TrimPacer;

namespace {

const long long kMiB = 1 << 20;

TEST(TrimPacerTest, TrimsAfterAFallAndNoMoreOftenThanItsSpacing)
{
    // Each step: bytes held at a time, whether a trim is due, and how long
    // a waiting trim still waits then (-1: none waits).
    const struct {
        long long held;
        long long now;
        bool due;
        int waitMs;
    } steps[] = {
        {0, 1000, false, -1},
        {10 * kMiB, 1100, false, -1},          // queues grow
        {10 * kMiB - kMiB / 2, 1200, false, -1}, // half a MiB sent: not worth it
        {9 * kMiB, 1300, true, 0},             // a MiB below the highest: the first trim at once
        {12 * kMiB, 1400, false, -1},          // grows again from what was left
        {10 * kMiB, 1500, false, 1800},        // fell by 2 MiB, waits for the spacing
        {10 * kMiB, 3299, false, 1},
        {10 * kMiB, 3300, true, 0},
        {10 * kMiB, 9000, false, -1},          // nothing freed since
        {0, 9100, true, 0},                    // every client gone, long after the last trim
    };
    TrimPacer pacer;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.now);
        const bool due = pacer.Due(s.held, s.now);
        EXPECT_EQ(due, s.due);
        EXPECT_EQ(pacer.WaitMs(s.now), s.waitMs);
        if (due)
            pacer.Trimmed(s.held, s.now);
    }
}

} // namespace
