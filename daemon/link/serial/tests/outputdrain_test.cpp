// The bounded wait for output to leave a line, against scripted queues:
// pseudo-terminals never hold output back, as a line under flow control does.
#include "serial/outputdrain.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <cerrno>
#include <functional>

namespace {

struct DrainCase {
    const char* name;
    // The queue's length at the n-th look (n from 0).
    std::function<int(int)> queue;
    bool drained;
    int error;
    // Bounds of the time spent waiting.
    qint64 atLeastMs;
    qint64 atMostMs;
};

TEST(OutputDrainTest, WaitsWhileTheQueueShrinksAndNoLonger)
{
    const int stall = OutputDrain::kStallMs;
    const int limit = OutputDrain::kLimitMs;
    const DrainCase cases[] = {
        {"empty at once", [](int) { return 0; }, true, 0, 0, 100},
        {"drains", [](int n) { return n < 20 ? 20 - n : 0; }, true, 0, 0, limit},
        {"held by flow control", [](int) { return 64; }, false, ETIMEDOUT, stall, stall + 500},
        {"shrinks for ever", [](int n) { return 1000000 - n; }, false, ETIMEDOUT, limit, limit + 500},
        {"cannot be read", [](int) { errno = EIO; return -1; }, false, EIO, 0, 100},
    };
    for (const DrainCase& c : cases) {
        SCOPED_TRACE(c.name);
        int looks = 0;
        QElapsedTimer clock;
        clock.start();
        errno = 0;
        const bool drained = OutputDrain::Wait(-1, [&](int) { return c.queue(looks++); });
        const int error = errno;
        const qint64 spent = clock.elapsed();
        EXPECT_EQ(drained, c.drained);
        if (!c.drained) {
            EXPECT_EQ(error, c.error);
        }
        EXPECT_GE(spent, c.atLeastMs);
        EXPECT_LE(spent, c.atMostMs);
    }
}

TEST(OutputDrainTest, QueueOfADescriptorThatIsNoTerminal)
{
    errno = 0;
    EXPECT_EQ(OutputDrain::Queued(-1), -1);
    EXPECT_EQ(errno, EBADF);
}

}
