// The stream front end over fake engines: signals and states of open,
// read, write, flush and close, failures, hasDesc, and a stream over a play
// list whose entry engines switch on the worker thread.
#include <gtest/gtest.h>

#include <QThread>

#include "fakestream.h"
#include "logcapture.h"
#include "qtprint.h"
#include "streamspy.h"

#include "lumo/lumoplaylist.h"
#include "lumo/lumoplaylistengine.h"
#include "lumo/lumostream.h"

namespace {

class LumoStreamTest : public ::testing::Test {
protected:
    void SetUp() override { FakeWorld::get().reset(); }

    void script(char const* desc, FakeScript const& s = FakeScript())
    {
        FakeWorld::get().setScript(QString::fromLatin1(desc), s);
    }

    // Sets the description and queues the open.
    bool openOn(char const* desc, int mode = Lumo::ReadOnly)
    {
        stream.setDesc(QString::fromLatin1(desc));
        return stream.open(mode);
    }

    LogCapture capture;
    FakeFactory factory;
    InstalledFactory installed{&factory};
    LumoStream stream;
    StreamSpy spy{&stream};
};

TEST_F(LumoStreamTest, OpenReadWriteFlushClose)
{
    FakeScript s;
    s.frameCount = 4;
    script("fake:a", s);
    stream.setDesc(QStringLiteral("fake:a"));
    EXPECT_EQ(stream.state(), LumoStream::Closed);
    ASSERT_TRUE(stream.open(Lumo::ReadOnly));
    EXPECT_EQ(stream.state(), LumoStream::Opening);
    int token = 0;
    stream.read(3, &token); // queued behind the open
    stream.write(1, LumoFrame());
    stream.flush();
    ASSERT_TRUE(spy.waitFor(4));
    EXPECT_EQ(spy.sequence(), QStringLiteral("open 1, read 3, write 1, flush 0"));
    EXPECT_EQ(spy.events[0].error, 0);
    EXPECT_EQ(stream.state(), LumoStream::Open);
    EXPECT_EQ(stream.mode(), 1);
    EXPECT_EQ(stream.info()->frameCount, 4);
    EXPECT_EQ(stream.info()->text1, QStringLiteral("fake:a"));

    StreamEvent const& read = spy.events[1];
    EXPECT_EQ(read.error, 0);
    EXPECT_EQ(read.pdata, &token);
    EXPECT_EQ(read.frame.metadata(1).toInt(), 3);
    EXPECT_EQ(read.frame.metadata(kOffsetKey).toInt(), 3);
    EXPECT_FALSE(read.frame.metadata(10).toBool()) << "made before the open told the frame count";
    EXPECT_FALSE(read.frame.metadata(9).toBool());
    EXPECT_EQ(spy.events[2].error, 0);
    stream.read(3);
    ASSERT_TRUE(spy.waitFor(5));
    EXPECT_TRUE(spy.events[4].frame.metadata(10).toBool()) << "the last of 4 frames";
    spy.events.pop_back();

    stream.close();
    EXPECT_EQ(stream.state(), LumoStream::Closing);
    stream.read(0); // no engine any more
    ASSERT_TRUE(spy.waitFor(5));
    EXPECT_EQ(spy.events[4].what, QStringLiteral("close"));
    EXPECT_EQ(stream.state(), LumoStream::Closed);
    EXPECT_EQ(stream.mode(), 0);
    EXPECT_TRUE(logged("Tried to read from 0 but stream is closed\n"));

    // Everything ran on one thread that is not this one.
    for (FakeCall const& c : FakeWorld::get().calls()) {
        if (c.op == QLatin1String("create"))
            EXPECT_EQ(c.thread, QThread::currentThread());
        else
            EXPECT_NE(c.thread, QThread::currentThread()) << c.op.toStdString();
    }
}

TEST_F(LumoStreamTest, WithoutAnEngineNothingIsQueued)
{
    stream.read(5);
    stream.write(6, LumoFrame());
    stream.flush();
    stream.close();
    stream.setDesc(QStringLiteral("nothing serves this"));
    EXPECT_FALSE(stream.open(Lumo::ReadOnly));
    stream.setType(4711);
    EXPECT_FALSE(stream.open(Lumo::ReadOnly));
    EXPECT_TRUE(logged("Tried to read from 5 but stream is closed\n"));
    EXPECT_TRUE(logged("Tried to write to 6 but stream is closed\n"));
    Spin(50);
    EXPECT_TRUE(spy.events.empty());
    EXPECT_EQ(stream.state(), LumoStream::Closed);
    EXPECT_EQ(factory.created, 0);

    // A factory whose create gives null ends the search.
    FakeFactory second;
    InstalledFactory alsoInstalled(&second);
    factory.makeNull = true;
    stream.setAutoType();
    stream.setDesc(QStringLiteral("fake:a"));
    EXPECT_FALSE(stream.open(Lumo::ReadOnly));
    EXPECT_EQ(factory.created, 1);
    EXPECT_EQ(second.created, 0);
}

TEST_F(LumoStreamTest, AFailedOpenWithNoReplacementLeavesTheStreamClosing)
{
    script("fake:a");
    ASSERT_TRUE(openOn("fake:a"));
    ASSERT_TRUE(spy.waitFor(1));
    stream.setDesc(QStringLiteral("unknown"));
    EXPECT_FALSE(stream.open(Lumo::ReadOnly));
    EXPECT_EQ(stream.state(), LumoStream::Closing);
    ASSERT_TRUE(spy.waitFor(2));
    EXPECT_EQ(spy.sequence(), QStringLiteral("open 1, close"));
    EXPECT_EQ(stream.state(), LumoStream::Closed);
}

TEST_F(LumoStreamTest, TypeSelectsByAcceptsAndInfoTravelsWithWrites)
{
    FakeFactory other(6000);
    InstalledFactory alsoInstalled(&other);
    script("fake:out");
    stream.setType(6000);
    stream.setDesc(QStringLiteral("fake:out"));
    LumoStreamInfo info;
    info->frameCount = 77;
    stream.setInfo(info);
    ASSERT_TRUE(stream.open(Lumo::WriteOnly));
    EXPECT_EQ(factory.created, 0);
    EXPECT_EQ(other.created, 1);
    stream.write(0, LumoFrame());
    ASSERT_TRUE(spy.waitFor(2));
    EXPECT_EQ(spy.sequence(), QStringLiteral("open 2, write 0"));
    EXPECT_EQ(stream.mode(), 2);
    EXPECT_EQ(stream.info()->frameCount, 77) << "the engine saw the application's information";
}

TEST_F(LumoStreamTest, ReadThenCloseAndASecondClose)
{
    script("fake:a");
    ASSERT_TRUE(openOn("fake:a"));
    stream.read(2);
    stream.close();
    stream.close();
    stream.flush(); // no engine: nothing
    ASSERT_TRUE(spy.waitFor(3));
    Spin(30);
    EXPECT_EQ(spy.sequence(), QStringLiteral("open 1, read 2, close"));
}

TEST_F(LumoStreamTest, ABenchmarkFollowsEachCompletion)
{
    FakeScript s;
    s.latencyMs = 2;
    script("fake:a", s);
    stream.setDesc(QStringLiteral("fake:a"));
    stream.setBenchmarkEnable(true);
    ASSERT_TRUE(stream.open(Lumo::ReadOnly));
    stream.read(1);
    ASSERT_TRUE(spy.waitFor(4));
    EXPECT_EQ(spy.sequence(), QStringLiteral("open 1, benchmark 0, read 1, benchmark 2"));
    const LumoTimeStamp ts = spy.events[3].elapsed;
    EXPECT_GE(ts.seconds * 1000000 + ts.microseconds, 2000);
    stream.setBenchmarkEnable(false);
    stream.read(2);
    ASSERT_TRUE(spy.waitFor(5));
    Spin(20);
    EXPECT_EQ(spy.events.size(), 5u);
}

TEST_F(LumoStreamTest, PendingCountsTheQueue)
{
    FakeScript s = FakeScript::gated();
    script("fake:a", s);
    ASSERT_TRUE(openOn("fake:a"));
    ASSERT_TRUE(spy.waitFor(1));
    EXPECT_EQ(stream.pending(), 0);
    stream.read(0);
    stream.read(1);
    stream.read(2);
    EXPECT_LE(stream.pending(), 3);
    ASSERT_TRUE(FakeWorld::get().waitForCalls("read", 1));
    EXPECT_EQ(stream.pending(), 2) << "the running read is not counted";
    s.gate->release(3);
    ASSERT_TRUE(spy.waitFor(4));
    EXPECT_EQ(stream.pending(), 0);
}

TEST_F(LumoStreamTest, SyncDropsQueuedAndUnreportedTasks)
{
    FakeScript s = FakeScript::gated();
    script("fake:a", s);
    ASSERT_TRUE(openOn("fake:a"));
    ASSERT_TRUE(spy.waitFor(1));
    stream.read(0);
    ASSERT_TRUE(FakeWorld::get().waitForCalls("read", 1));
    stream.read(1);
    stream.read(2);
    s.gate->release(10);
    stream.sync();
    EXPECT_EQ(stream.pending(), 0);
    Spin(30);
    EXPECT_EQ(spy.sequence(), QStringLiteral("open 1")) << "nothing finished before the sync is reported";
    stream.read(3);
    ASSERT_TRUE(spy.waitFor(2));
    EXPECT_EQ(spy.events[1].value, 3);
}

TEST_F(LumoStreamTest, AnEngineLeftByAFailedOpenIsDisposedOfOnTheWorker)
{
    FakeScript failing;
    failing.openError = EIO;
    script("fake:bad", failing);
    script("fake:good");
    ASSERT_TRUE(openOn("fake:bad"));
    ASSERT_TRUE(spy.waitFor(1));
    EXPECT_EQ(spy.events[0].error, EIO);
    EXPECT_EQ(stream.state(), LumoStream::Closed);
    EXPECT_EQ(stream.mode(), 0);

    // The engine stays attached: reads still reach it, close does nothing.
    stream.read(1);
    stream.close();
    ASSERT_TRUE(spy.waitFor(2));
    EXPECT_EQ(spy.events[1].what, QStringLiteral("read"));
    EXPECT_TRUE(FakeWorld::get().calls("close").empty());

    // The next open closes and deletes it on the worker thread, silently.
    ASSERT_TRUE(openOn("fake:good"));
    ASSERT_TRUE(spy.waitFor(3));
    EXPECT_EQ(spy.sequence(), QStringLiteral("open 1, read 1, open 1"));
    const std::vector<FakeCall> destroyed = FakeWorld::get().calls("destroy");
    ASSERT_EQ(destroyed.size(), 1u);
    EXPECT_EQ(destroyed[0].source, QStringLiteral("fake:bad"));
    EXPECT_NE(destroyed[0].thread, QThread::currentThread());
    EXPECT_EQ(FakeWorld::get().calls("close").size(), 1u);
    EXPECT_EQ(stream.state(), LumoStream::Open);

    // So does destruction after a failed open.
    {
        LumoStream failed;
        failed.setDesc(QStringLiteral("fake:bad"));
        ASSERT_TRUE(failed.open(Lumo::ReadOnly));
        StreamSpy failedSpy(&failed);
        ASSERT_TRUE(failedSpy.waitFor(1));
    }
    EXPECT_EQ(FakeWorld::get().calls("destroy").size(), 2u);
}

TEST_F(LumoStreamTest, DestructionClosesTheEngineOnTheWorker)
{
    script("fake:a");
    {
        LumoStream stream;
        StreamSpy spy(&stream);
        stream.setDesc(QStringLiteral("fake:a"));
        ASSERT_TRUE(stream.open(Lumo::ReadOnly));
        stream.read(0);
        stream.read(1);
    }
    const std::vector<FakeCall> calls = FakeWorld::get().calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.back().op, QStringLiteral("destroy"));
    EXPECT_EQ(calls[calls.size() - 2].op, QStringLiteral("close"));
    EXPECT_NE(calls.back().thread, QThread::currentThread());
}

TEST_F(LumoStreamTest, HasDesc)
{
    LumoPlayList list;
    list.append(LumoPlayListEntry(QStringLiteral("a"), QStringLiteral("fake:a"), 10));
    list.append(LumoPlayListEntry(QStringLiteral("b"), QStringLiteral("fake:b"), 5));
    LumoPlayList equal;
    equal.append(LumoPlayListEntry(QStringLiteral("a"), QStringLiteral("fake:a"), 10));
    equal.append(LumoPlayListEntry(QStringLiteral("b"), QStringLiteral("fake:b"), 5));
    LumoPlayList reordered;
    reordered.append(list.at(1));
    reordered.append(list.at(0));
    LumoPlayList shorter;
    shorter.append(list.at(0));

    struct Case {
        QVariant stream;
        QVariant asked;
        bool equal;
    };
    const Case cases[] = {
        {42, 42, true},
        {42, 43, false},
        {42, QStringLiteral("42"), false},
        {QStringLiteral("fake:a"), QStringLiteral("fake:a"), true},
        {QVariant(), QVariant(), true},
        {QVariant::fromValue(LumoTimecode()), QVariant::fromValue(LumoTimecode()), false},
        {QVariant::fromValue(list), QVariant::fromValue(equal), true},
        {QVariant::fromValue(list), QVariant::fromValue(reordered), false},
        {QVariant::fromValue(list), QVariant::fromValue(shorter), false},
        {QVariant::fromValue(list), QVariant::fromValue(LumoTimecode()), false},
    };
    for (Case const& c : cases) {
        stream.setDesc(c.stream);
        EXPECT_EQ(stream.hasDesc(c.asked), c.equal) << c.stream.typeName() << " / " << c.asked.typeName();
    }
}

TEST_F(LumoStreamTest, PlayListOfTwoEntries)
{
    FakeScript a;
    a.frameCount = 100; // the list plays 10 of them
    a.firstFrameNumber = 0;
    a.timecode = LumoTimecode(90000, 25, false);
    script("fake:a", a);
    FakeScript b;
    b.frameCount = 5;
    script("fake:b", b);
    LumoPlayList list;
    list.append(LumoPlayListEntry(QStringLiteral("a"), QStringLiteral("fake:a"), 10));
    list.append(LumoPlayListEntry(QStringLiteral("b"), QStringLiteral("fake:b"), 5));

    stream.setDesc(QVariant::fromValue(list));
    ASSERT_TRUE(stream.open(Lumo::ReadOnly));
    ASSERT_TRUE(spy.waitFor(1));
    for (int fnum : {8, 9, 10, 11, 14, 15})
        stream.read(fnum);
    ASSERT_TRUE(spy.waitFor(7));
    EXPECT_EQ(spy.sequence(), QStringLiteral("open 1, read 8, read 9, read 10, read 11, read 14, read 15"));
    EXPECT_EQ(spy.events[0].error, 0);
    EXPECT_EQ(stream.info()->frameCount, 15);
    EXPECT_EQ(stream.info()->text1, QStringLiteral("fake:a")) << "the first entry's information";
    EXPECT_EQ(stream.info()->timecode->frameNumber(), 90000);

    struct Expect {
        char const* source;
        int entry;
        int offset;
        bool end;
    };
    const Expect expects[] = {{"fake:a", 0, 8, false}, {"fake:a", 0, 9, false}, {"fake:b", 1, 0, false},
                              {"fake:b", 1, 1, false}, {"fake:b", 1, 4, true}};
    for (int i = 0; i < 5; ++i) {
        StreamEvent const& e = spy.events[size_t(i) + 1];
        SCOPED_TRACE(e.value);
        EXPECT_EQ(e.error, 0);
        EXPECT_EQ(e.frame.metadata(kSourceKey).toString(), QString::fromLatin1(expects[i].source));
        EXPECT_EQ(e.frame.metadata(kOffsetKey).toInt(), expects[i].offset);
        EXPECT_EQ(e.frame.metadata(1).toInt(), e.value) << "the list's frame number";
        EXPECT_EQ(e.frame.metadata(10).toBool(), expects[i].end);
        const LumoPlayListIndex index = e.frame.metadata(18).value<LumoPlayListIndex>();
        EXPECT_EQ(index->entryIndex, expects[i].entry);
        EXPECT_EQ(index->offset, expects[i].offset);
        EXPECT_EQ(index->playList.size(), 2);
    }
    EXPECT_EQ(spy.events[6].error, EINVAL) << "frame 15 lies beyond the list";

    // Entry engines were made, opened, switched and closed on the worker.
    QStringList ops;
    QThread* worker = nullptr;
    for (FakeCall const& c : FakeWorld::get().calls()) {
        if (c.op == QLatin1String("read"))
            continue;
        ops << c.op + QLatin1Char(' ') + (c.op == QLatin1String("create") ? QString() : c.source);
        if (!worker)
            worker = c.thread;
        EXPECT_EQ(c.thread, worker);
    }
    EXPECT_NE(worker, QThread::currentThread());
    EXPECT_EQ(ops.join(QLatin1String(", ")), QStringLiteral("create , open fake:a, close fake:a, destroy fake:a, "
                                                             "create , open fake:b"));
    stream.close();
    ASSERT_TRUE(spy.waitFor(8));
    EXPECT_EQ(FakeWorld::get().calls("destroy").size(), 2u);
}

TEST_F(LumoStreamTest, PlayListWithoutFactoriesStillMakesThePlayListEngine)
{
    Lumo::removeStreamFactory(&factory);
    LumoPlayList list;
    list.append(LumoPlayListEntry(QStringLiteral("a"), QStringLiteral("fake:a"), 10));
    stream.setDesc(QVariant::fromValue(list));
    ASSERT_TRUE(stream.open(Lumo::ReadOnly));
    ASSERT_TRUE(spy.waitFor(1));
    EXPECT_EQ(spy.events[0].value, 1);
    EXPECT_EQ(spy.events[0].error, EINVAL);
    EXPECT_TRUE(logged("Engine create failed for entry 0\n"));
    Lumo::installStreamFactory(&factory);
}

} // namespace
