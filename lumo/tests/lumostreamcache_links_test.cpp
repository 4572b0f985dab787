// The cache's links to its stream, in a process that has not registered
// the library's meta types: the queued links cannot be made and say so.
#include <gtest/gtest.h>

#include "logcapture.h"

#include "lumo/lumostream.h"
#include "lumo/lumostreamcache.h"

namespace {

bool logged(QByteArray const& msg)
{
    return LogCapture::waitUntil([&msg] {
        for (SystemEntry const& e : LogCapture::system())
            if (e.msg == msg)
                return true;
        return false;
    });
}

TEST(LumoStreamCacheLinks, FailedLinksAreLoggedWithTheirStatements)
{
    ASSERT_EQ(QMetaType::type("LumoError"), int(QMetaType::UnknownType));
    LogCapture capture;
    LumoStream stream;
    LumoStreamCache cache;
    cache.setStream(&stream);
    EXPECT_TRUE(logged("FAILED: connect(stm, SIGNAL(readIsDone(int, const LumoFrame &, const LumoError &, void *)), "
                       "this, SLOT(readIsDone(int, const LumoFrame &, const LumoError &, void *)), "
                       "Qt::QueuedConnection)\n"));
    EXPECT_TRUE(logged("FAILED: connect(stm, SIGNAL(writeIsDone(int, const LumoError &, void *)), this, "
                       "SLOT(writeIsDone(int, const LumoError &, void *)), Qt::QueuedConnection)\n"));
    cache.setStream(nullptr);
    // The cache has no links of its own towards the stream to undo.
    EXPECT_TRUE(logged("FAILED: disconnect(this, 0, stm, 0)\n"));
    for (SystemEntry const& e : LogCapture::system()) {
        EXPECT_FALSE(e.msg.contains("openIsDone")) << e.msg.constData();
        EXPECT_FALSE(e.msg.contains("disconnect(stm, 0, this, 0)"));
    }
}

} // namespace
