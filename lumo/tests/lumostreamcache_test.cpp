// The read-ahead cache over a stream of fake engines: reads in flight after
// an open and on attaching, reading outside the stream, speeds, seeks,
// limits, write-behind, and requests abandoned when the stream changes.
#include <gtest/gtest.h>

#include <QThread>

#include "fakestream.h"
#include "logcapture.h"
#include "qtprint.h"
#include "streamspy.h"

#include "lumo/lumostream.h"
#include "lumo/lumostreamcache.h"

namespace {

class LumoStreamCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeWorld::get().reset();
        QObject::connect(&cache, &LumoStreamCache::ready, [this] { ++ready; });
        QObject::connect(&cache, &LumoStreamCache::error,
                         [this](int pos, LumoError const& err) { errors.push_back({pos, err}); });
    }

    void useScript(FakeScript const& s, char const* desc = "fake:c")
    {
        FakeWorld::get().setScript(QString::fromLatin1(desc), s);
        stream.setDesc(QString::fromLatin1(desc));
    }

    // Opens the stream and runs the event loop until the open is reported.
    void openStream(int mode = Lumo::ReadOnly)
    {
        StreamSpy spy(&stream);
        ASSERT_TRUE(stream.open(mode));
        ASSERT_TRUE(spy.waitFor(1));
    }

    bool waitCached(int count) { return WaitFor([&] { return cache.framesInCache() >= count; }, 5000); }

    // Takes every cached frame: the frame numbers they carry.
    std::vector<int> takeAll()
    {
        std::vector<int> numbers;
        while (cache.framesInCache() > 0)
            numbers.push_back(cache.read().metadata(1).toInt());
        return numbers;
    }

    size_t readsIssued() { return FakeWorld::get().calls("read").size(); }

    LogCapture capture;
    FakeFactory factory;
    InstalledFactory installed{&factory};
    LumoStream stream;
    LumoStreamCache cache;
    int ready = 0;
    std::vector<std::pair<int, LumoError>> errors;
};

TEST_F(LumoStreamCacheTest, ANewCacheIsDetached)
{
    EXPECT_EQ(cache.framesInCache(), 0);
    EXPECT_TRUE(cache.atStartOfStream());
    EXPECT_TRUE(cache.atEndOfStream());
    EXPECT_TRUE(cache.read()->images.isEmpty());
    EXPECT_TRUE(cache.peek()->images.isEmpty());
    EXPECT_EQ(cache.position(), 0.0);
    cache.seek(5); // no stream: nothing
    EXPECT_EQ(cache.position(), 0.0);
}

TEST_F(LumoStreamCacheTest, OpeningAnAttachedStreamFillsTheCache)
{
    FakeScript s = FakeScript::gated();
    useScript(s);
    cache.setStream(&stream);
    EXPECT_EQ(cache.pending(), 0) << "closed: nothing issued";
    openStream();
    EXPECT_EQ(cache.pending(), 10) << "frames 0 to 9; frame 10 lies outside";
    s.gate->release(100);
    ASSERT_TRUE(waitCached(10));
    Spin(20);
    EXPECT_EQ(cache.framesInCache(), 10) << "more than the cache size: all arrived frames are kept";
    EXPECT_EQ(ready, 10);
    EXPECT_EQ(cache.pending(), 0);
    EXPECT_FALSE(cache.atEndOfStream());
    EXPECT_EQ(cache.peek().metadata(1).toInt(), 0);
    EXPECT_EQ(takeAll(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(cache.atEndOfStream());
    EXPECT_EQ(readsIssued(), 10u);
}

TEST_F(LumoStreamCacheTest, AttachingAnOpenStreamIssuesTheFirstReadsTwice)
{
    useScript(FakeScript());
    openStream();
    cache.setStream(&stream);
    EXPECT_EQ(cache.pending(), 16) << "0 to 9, then 0 to 5 again: every record in use";
    ASSERT_TRUE(WaitFor([&] { return readsIssued() == 16 && cache.pending() == 0; }, 5000));
    EXPECT_EQ(takeAll(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(ready, 10);
}

TEST_F(LumoStreamCacheTest, ReadingOutsideTheStream)
{
    FakeScript s;
    s.timecode = LumoTimecode(1000, 25, false);
    useScript(s);
    openStream();
    cache.setReadOutsideStream(true);
    cache.setStream(&stream);
    ASSERT_TRUE(WaitFor([&] { return readsIssued() >= 16 && cache.framesInCache() >= 10; }, 5000));
    Spin(20);
    std::vector<int> asked;
    for (FakeCall const& c : FakeWorld::get().calls("read"))
        asked.push_back(c.fnum);
    EXPECT_EQ(std::vector<int>(asked.begin(), asked.begin() + 16),
              (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9, 9, 9, 9}));
    for (int i = 0; i < 16; ++i) {
        ASSERT_GT(cache.framesInCache(), 0) << i;
        const LumoFrame frame = cache.read();
        EXPECT_EQ(frame.metadata(1).toInt(), i);
        EXPECT_EQ(frame.metadata(26).toBool(), i >= 10) << i;
        if (i >= 10) {
            EXPECT_EQ(frame.metadata(kOffsetKey).toInt(), 9);
            EXPECT_EQ(frame.metadata(12).value<LumoTimecode>()->frameNumber(), 1000 + i);
        }
    }
}

TEST_F(LumoStreamCacheTest, BackwardsFromTheFirstFrame)
{
    useScript(FakeScript());
    cache.setSpeed(-1.0);
    cache.setStream(&stream);
    openStream();
    ASSERT_TRUE(waitCached(1));
    Spin(20);
    EXPECT_EQ(readsIssued(), 1u) << "frame -1 lies outside";
    EXPECT_FALSE(cache.atStartOfStream());
    EXPECT_EQ(cache.read().metadata(1).toInt(), 0);
    EXPECT_EQ(cache.position(), -1.0);
    EXPECT_TRUE(cache.atStartOfStream());
    EXPECT_EQ(readsIssued(), 1u);
}

TEST_F(LumoStreamCacheTest, HalfSpeedDeliversEachFrameTwice)
{
    useScript(FakeScript());
    cache.setSpeed(0.5);
    cache.setCacheSize(100);
    cache.setStream(&stream);
    openStream();
    ASSERT_TRUE(WaitFor([&] { return cache.framesInCache() == 20 && cache.pending() == 0; }, 5000));
    std::vector<int> numbers;
    for (int i = 0; i < 7; ++i)
        numbers.push_back(cache.read().metadata(1).toInt());
    EXPECT_EQ(numbers, (std::vector<int>{0, 0, 1, 1, 2, 2, 3}));
    EXPECT_EQ(cache.position(), 3.5);
}

TEST_F(LumoStreamCacheTest, Seeking)
{
    struct Case {
        double speed;
        int cached;
        int target;
        int kept; // cached frames left right after the seek
        int head;
    };
    const Case cases[] = {
        {1.0, 5, 3, 2, 3},  // drops the 3 oldest and keeps the other 2
        {1.0, 3, 3, 0, 3},  // not enough cached: clears and restarts
        {1.0, 5, 5, 0, 5},
        {2.0, 5, 6, 0, 6},  // not a unit speed
        {-1.0, 5, 6, 2, 6}, // from 9 backwards
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << "speed " << c.speed << ", " << c.cached << " cached, to " << c.target);
        FakeWorld::get().reset();
        useScript(FakeScript());
        cache.setStream(nullptr);
        cache.setSpeed(c.speed);
        cache.setCacheSize(c.cached);
        cache.setMaxPending(1); // one read at a time: exactly the cache size arrives
        cache.setStream(&stream);
        openStream();
        if (c.speed < 0)
            cache.seek(9);
        ASSERT_TRUE(WaitFor([&] { return cache.framesInCache() == c.cached && cache.pending() == 0; }, 5000))
            << cache.framesInCache() << " cached, " << cache.pending() << " pending, " << readsIssued() << " reads";
        cache.seek(c.target);
        EXPECT_EQ(cache.position(), double(c.target));
        EXPECT_EQ(cache.framesInCache(), c.kept);
        ASSERT_TRUE(WaitFor([&] { return cache.framesInCache() >= 1 && cache.pending() == 0; }, 5000));
        EXPECT_EQ(cache.peek().metadata(1).toInt(), c.head);
        stream.close();
        StreamSpy spy(&stream);
        ASSERT_TRUE(spy.waitFor(1));
    }
}

TEST_F(LumoStreamCacheTest, LimitsOnRequestsAndCacheSize)
{
    FakeScript s;
    s.frameCount = 100;
    s.gate = std::make_shared<QSemaphore>(0);
    useScript(s);
    cache.setCacheSize(50);
    cache.setStream(&stream);
    openStream();
    EXPECT_EQ(cache.pending(), 16) << "never more than the 16 records";
    cache.setMaxPending(0);
    cache.setMaxPending(-4);
    s.gate->release(16);
    ASSERT_TRUE(WaitFor([&] { return cache.framesInCache() == 16; }, 5000));
    EXPECT_EQ(cache.pending(), 16) << "the limit stayed 16: refilled to it";
    cache.setMaxPending(4);
    s.gate->release(16);
    ASSERT_TRUE(WaitFor([&] { return cache.framesInCache() == 32; }, 5000));
    EXPECT_EQ(cache.pending(), 4);
    s.gate->release(100);

    cache.setCacheSize(0);
    cache.clear();
    ASSERT_TRUE(WaitFor([&] { return cache.pending() == 0; }, 5000));
    const size_t before = readsIssued();
    cache.clear();
    Spin(20);
    EXPECT_EQ(readsIssued(), before) << "cache size 0 issues nothing";
}

TEST_F(LumoStreamCacheTest, AStreamThatDoesNotStartAtZero)
{
    FakeScript s;
    s.firstFrameNumber = 100;
    s.frameCount = 50;
    useScript(s);
    cache.setStream(&stream);
    openStream();
    EXPECT_EQ(cache.position(), 100.0);
    Spin(20);
    EXPECT_EQ(readsIssued(), 0u) << "100 lies outside 0..49";
    EXPECT_FALSE(cache.atStartOfStream());
    EXPECT_FALSE(cache.atEndOfStream());

    cache.setReadOutsideStream(true);
    cache.clear();
    ASSERT_TRUE(waitCached(1));
    for (FakeCall const& c : FakeWorld::get().calls("read"))
        EXPECT_EQ(c.fnum, 49);
    const LumoFrame frame = cache.read();
    EXPECT_EQ(frame.metadata(1).toInt(), 100);
    EXPECT_TRUE(frame.metadata(26).toBool());

    cache.seekToLastFrame();
    EXPECT_EQ(cache.position(), 149.0);
    cache.reset();
    EXPECT_EQ(cache.position(), 100.0);
}

TEST_F(LumoStreamCacheTest, AnEmptyStreamNeverEnds)
{
    FakeScript s;
    s.frameCount = 0;
    useScript(s);
    cache.setStream(&stream);
    openStream();
    for (int fnum : {0, 5, -3}) {
        cache.seek(fnum);
        EXPECT_FALSE(cache.atEndOfStream()) << fnum;
    }
}

TEST_F(LumoStreamCacheTest, AFailedReadIsSkipped)
{
    FakeScript s;
    s.frameCount = 6;
    s.failReads = {2, 5};
    useScript(s);
    cache.setStream(&stream);
    openStream();
    ASSERT_TRUE(WaitFor([&] { return readsIssued() == 6 && cache.pending() == 0; }, 5000));
    EXPECT_EQ(cache.framesInCache(), 4);
    EXPECT_EQ(ready, 4);
    EXPECT_FALSE(cache.atEndOfStream());
    EXPECT_EQ(cache.read().metadata(1).toInt(), 0);
    EXPECT_EQ(cache.read().metadata(1).toInt(), 1);
    EXPECT_EQ(cache.position(), 3.0) << "past the failed frame 2";
    EXPECT_EQ(cache.read().metadata(1).toInt(), 3);
    EXPECT_EQ(cache.read().metadata(1).toInt(), 4);
    EXPECT_EQ(cache.position(), 6.0);
    EXPECT_TRUE(cache.atEndOfStream());

    // A failure when nothing is cached moves the position at once.
    cache.seek(2);
    ASSERT_TRUE(WaitFor([&] { return cache.framesInCache() == 2 && cache.pending() == 0; }, 5000));
    EXPECT_EQ(cache.position(), 3.0);
    EXPECT_EQ(takeAll(), (std::vector<int>{3, 4}));

    // Seeking into the cache across a failed frame stops past it.
    cache.seek(0);
    ASSERT_TRUE(WaitFor([&] { return cache.framesInCache() == 4 && cache.pending() == 0; }, 5000));
    cache.seek(2);
    EXPECT_EQ(cache.position(), 3.0);
    EXPECT_EQ(cache.peek().metadata(1).toInt(), 3);
}

TEST_F(LumoStreamCacheTest, ChangingTheStreamAbandonsItsRequests)
{
    FakeScript a;
    a.frameCount = 40;
    a.latencyMs = 1;
    useScript(a, "fake:a");
    LumoStream other;
    FakeWorld::get().setScript(QStringLiteral("fake:b"), FakeScript());
    other.setDesc(QStringLiteral("fake:b"));
    {
        StreamSpy spy(&other);
        ASSERT_TRUE(other.open(Lumo::ReadOnly));
        ASSERT_TRUE(spy.waitFor(1));
    }
    openStream();
    cache.setCacheSize(40);
    cache.setStream(&stream);
    // Switch from inside a completion of the first stream: completions
    // already posted to the cache arrive after the switch.
    bool switched = false;
    QObject::connect(&stream, &LumoStream::readIsDone, [&](int fnum, LumoFrame const&, LumoError const&, void*) {
        if (fnum == 0 && !switched) {
            switched = true;
            cache.setStream(&other);
            EXPECT_EQ(cache.pending(), 16) << "all records free again and in use for the new stream";
        }
    });
    ASSERT_TRUE(WaitFor([&] { return switched && cache.framesInCache() >= 10 && cache.pending() == 0; }, 5000));
    Spin(30);
    std::vector<int> numbers;
    while (cache.framesInCache() > 0) {
        const LumoFrame frame = cache.read();
        EXPECT_EQ(frame.metadata(kSourceKey).toString(), QStringLiteral("fake:b"));
        numbers.push_back(frame.metadata(1).toInt());
    }
    EXPECT_EQ(numbers, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_GE(cache.pending(), 0);

    // Detached: nothing more is issued, and the old stream's events pass by.
    cache.setStream(nullptr);
    EXPECT_TRUE(cache.atEndOfStream());
    other.read(0);
    Spin(20);
    EXPECT_EQ(cache.framesInCache(), 0);
}

TEST_F(LumoStreamCacheTest, TheStreamGoingAwayDetachesTheCache)
{
    LumoStream* doomed = new LumoStream;
    FakeWorld::get().setScript(QStringLiteral("fake:d"), FakeScript());
    doomed->setDesc(QStringLiteral("fake:d"));
    cache.setStream(doomed);
    ASSERT_TRUE(doomed->open(Lumo::ReadOnly));
    delete doomed;
    Spin(20);
    EXPECT_TRUE(cache.atEndOfStream());
    EXPECT_EQ(cache.framesInCache(), 0);
    cache.read();
    cache.seek(3);
}

TEST_F(LumoStreamCacheTest, WriteBehind)
{
    FakeScript s;
    s.writeError = EIO;
    useScript(s);
    cache.setStream(&stream);
    openStream(Lumo::WriteOnly);
    cache.setMaxPending(2);
    cache.setCacheSize(3);
    for (int i = 0; i < 5; ++i)
        cache.write(LumoFrame());
    EXPECT_EQ(cache.pending(), 2);
    EXPECT_EQ(cache.framesInCache(), 3);
    EXPECT_EQ(cache.position(), 5.0);

    cache.pushCachedToPending(0);
    EXPECT_EQ(cache.pending(), 5) << "all cached frames handed on at once";
    EXPECT_EQ(cache.framesInCache(), 0);
    ASSERT_TRUE(WaitFor([&] { return cache.pending() == 0; }, 5000));
    std::vector<int> written;
    for (FakeCall const& c : FakeWorld::get().calls("write"))
        written.push_back(c.fnum);
    EXPECT_EQ(written, (std::vector<int>{0, 1, 2, 3, 4}));
    ASSERT_EQ(errors.size(), 5u);
    EXPECT_EQ(errors[4].first, 4);
    EXPECT_EQ(errors[4].second, EIO);
    EXPECT_EQ(ready, 5);

    // A completion after the close reset pending to 0 leaves it at 0.
    cache.write(LumoFrame());
    EXPECT_EQ(cache.pending(), 1);
    stream.close();
    // When both finish before the stream collects them, the close is
    // reported directly and the write's completion reaches the cache queued,
    // after it: it is not the expected one. When the stream collects the
    // write alone first (the worker was slow to finish the close), its
    // completion is reported as any other.
    ASSERT_TRUE(FakeWorld::get().waitForCalls("destroy", 1));
    Spin(30);
    EXPECT_EQ(cache.pending(), 0);
    ASSERT_GE(errors.size(), 5u);
    ASSERT_LE(errors.size(), 6u);
    if (errors.size() == 6u) {
        EXPECT_EQ(errors[5].first, 5);
        EXPECT_EQ(errors[5].second, EIO);
    }
    EXPECT_EQ(cache.position(), 0.0);
}

TEST_F(LumoStreamCacheTest, PushCachedToPendingInWriteModeLeavesTheLimit)
{
    FakeScript s = FakeScript::gated();
    useScript(s);
    cache.setStream(&stream);
    openStream(Lumo::WriteOnly);
    cache.setMaxPending(1);
    for (int i = 0; i < 6; ++i)
        cache.write(LumoFrame());
    EXPECT_EQ(cache.pending(), 1);
    EXPECT_EQ(cache.framesInCache(), 5);
    cache.pushCachedToPending(2);
    EXPECT_EQ(cache.pending(), 3);
    EXPECT_EQ(cache.framesInCache(), 3);
    cache.write(LumoFrame());
    EXPECT_EQ(cache.pending(), 3) << "max pending is 1 again";
    s.gate->release(100);
}

} // namespace
