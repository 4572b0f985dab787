// Play-list arithmetic, the play-list engine called directly, the engine
// interface's defaults and the factory registries.
#include <gtest/gtest.h>

#include "fakestream.h"
#include "logcapture.h"
#include "qtprint.h"
#include "streamspy.h"

#include "lumo/lumo.h"
#include "lumo/lumoplaylist.h"
#include "lumo/lumoplaylistengine.h"
#include "lumo/lumovideodevicefactory.h"

namespace {

LumoPlayList listOf(std::initializer_list<std::pair<char const*, int>> entries)
{
    LumoPlayList list;
    for (auto const& e : entries)
        list.append(LumoPlayListEntry(QString::fromLatin1(e.first), QString::fromLatin1(e.first), e.second));
    return list;
}

TEST(LumoPlayList, Arithmetic)
{
    const LumoPlayList list = listOf({{"fake:a", 10}, {"fake:b", 0}, {"fake:c", 5}});
    EXPECT_EQ(list.length(), 15);
    const int firsts[][2] = {{0, 0}, {1, 10}, {2, 10}, {3, -1}, {-1, -1}};
    for (auto const& f : firsts)
        EXPECT_EQ(list.firstFrameOfEntry(f[0]), f[1]) << f[0];
    const int indexes[][3] = {{0, 0, 0}, {9, 0, 9}, {10, 2, 0}, {14, 2, 4}, {15, -1, -1}, {-3, 0, -3}, {INT_MAX, -1, -1}};
    for (auto const& i : indexes) {
        const LumoPlayListIndex index = list.indexOfFrameNumber(i[0]);
        EXPECT_EQ(index->entryIndex, i[1]) << i[0];
        EXPECT_EQ(index->offset, i[2]) << i[0];
        EXPECT_EQ(index->playList.size(), i[1] < 0 ? 0 : 3);
        if (i[1] >= 0) {
            EXPECT_TRUE(index->entry.isSharedWith(list.at(i[1])));
        }
    }
    const LumoPlayList empty;
    EXPECT_EQ(empty.length(), 0);
    for (int fnum : {0, 1, -1})
        EXPECT_EQ(empty.indexOfFrameNumber(fnum)->entryIndex, -1);
    EXPECT_EQ(listOf({{"fake:a", INT_MAX}, {"fake:b", INT_MAX}}).length(), INT_MAX);
}

TEST(LumoPlayList, EntryValidityAndEquality)
{
    EXPECT_FALSE(LumoPlayListEntry().isValid());
    EXPECT_TRUE(LumoPlayListEntry(QStringLiteral("a"), 1, 1).isValid());
    EXPECT_FALSE(LumoPlayListEntry(QString(), 1, 1).isValid());
    EXPECT_FALSE(LumoPlayListEntry(QStringLiteral("a"), QVariant(), 1).isValid());
    EXPECT_FALSE(LumoPlayListEntry(QStringLiteral("a"), 1, 0).isValid());
    EXPECT_TRUE(LumoPlayListEntry(QStringLiteral("a"), 1, 3) == LumoPlayListEntry(QStringLiteral("a"), 1, 3));
    EXPECT_FALSE(LumoPlayListEntry(QStringLiteral("a"), 1, 3) == LumoPlayListEntry(QStringLiteral("a"), 2, 3));
    EXPECT_FALSE(LumoPlayListEntry(QStringLiteral("a"), 1, 3) == LumoPlayListEntry(QStringLiteral("b"), 1, 3));
}

class LumoPlayListEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeWorld::get().reset();
        for (char const* desc : {"fake:a", "fake:b", "fake:c"})
            FakeWorld::get().setScript(QString::fromLatin1(desc), FakeScript());
    }

    LumoError open(LumoPlayList const& list, int mode = Lumo::ReadOnly)
    {
        info = LumoStreamInfo();
        return engine.open(QVariant::fromValue(list), mode, info);
    }

    QStringList ops()
    {
        QStringList list;
        for (FakeCall const& c : FakeWorld::get().calls())
            list << (c.op == QLatin1String("create")  ? c.op
                     : c.op == QLatin1String("read") ? c.op + QLatin1Char(' ') + QString::number(c.fnum)
                                                     : c.op + QLatin1Char(' ') + c.source);
        return list;
    }

    LogCapture capture;
    FakeFactory factory;
    InstalledFactory installed{&factory};
    LumoPlayListEngine engine;
    LumoStreamInfo info;
};

TEST_F(LumoPlayListEngineTest, OpenFailures)
{
    FakeScript failing;
    failing.openError = EIO;
    FakeWorld::get().setScript(QStringLiteral("fake:bad"), failing);
    struct Case {
        LumoPlayList list;
        int mode;
        char const* message;
    };
    const Case cases[] = {
        {listOf({{"fake:a", 1}}), 2, "Open mode 2 invalid.  Can only open playlist in ReadOnly\n"},
        {LumoPlayList(), 1, "Playlist is empty\n"},
        {listOf({{"fake:a", 0}, {"fake:b", 0}}), 1, "Playlist is empty\n"},
        {listOf({{"fake:a", 0}, {"fake:b", 10}}), 1, "Entry 0 is invalid\n"},
        {listOf({{"unknown", 3}}), 1, "Engine create failed for entry 0\n"},
        {listOf({{"fake:bad", 3}}), 1, "Open failed with 5 for entry 0\n"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.message);
        LogCapture::clear();
        EXPECT_EQ(open(c.list, c.mode), EINVAL);
        EXPECT_TRUE(logged(c.message));
    }
    EXPECT_EQ(FakeWorld::get().calls("destroy").size(), 1u) << "the engine that failed to open";
    LumoFrame frame;
    EXPECT_EQ(engine.read(0, frame), EINVAL) << "no entry engine";

    // A description that holds no play list reads as an empty one.
    LogCapture::clear();
    EXPECT_EQ(engine.open(QStringLiteral("fake:a"), 1, info), EINVAL);
    EXPECT_TRUE(logged("Playlist is empty\n"));
}

TEST_F(LumoPlayListEngineTest, ReadsSwitchEntries)
{
    FakeScript a;
    a.frameCount = 50;
    a.firstFrameNumber = 7;
    FakeWorld::get().setScript(QStringLiteral("fake:a"), a);
    ASSERT_EQ(open(listOf({{"fake:a", 10}, {"fake:b", 5}})), 0);
    EXPECT_EQ(info->frameCount, 15);
    EXPECT_EQ(info->firstFrameNumber, 7);
    EXPECT_EQ(info->text1, QStringLiteral("fake:a"));

    LumoFrame frame;
    ASSERT_EQ(engine.read(12, frame), 0);
    EXPECT_EQ(frame.metadata(kSourceKey).toString(), QStringLiteral("fake:b"));
    const LumoPlayListIndex index = frame.metadata(18).value<LumoPlayListIndex>();
    EXPECT_EQ(index->entryIndex, 1);
    EXPECT_EQ(index->offset, 2);

    for (int fnum : {-1, 15}) {
        LumoFrame outside;
        EXPECT_EQ(engine.read(fnum, outside), EINVAL);
        EXPECT_TRUE(outside->images.isEmpty());
    }
    LumoFrame first;
    ASSERT_EQ(engine.read(0, first), 0);
    EXPECT_EQ(ops().join(QLatin1String(", ")),
              QStringLiteral("create, open fake:a, close fake:a, destroy fake:a, create, open fake:b, read 2, "
                             "close fake:b, destroy fake:b, create, open fake:a, read 0"));
    EXPECT_TRUE(FakeWorld::get().calls("stale-info").empty()) << "each entry engine opened on a fresh value";
    EXPECT_EQ(engine.write(0, first), EOPNOTSUPP);
    EXPECT_EQ(engine.flush(), 0);
    engine.close();
    EXPECT_EQ(FakeWorld::get().calls("destroy").size(), 3u);
    EXPECT_EQ(engine.write(0, first), EOPNOTSUPP);
    EXPECT_EQ(engine.flush(), 0);
}

TEST_F(LumoPlayListEngineTest, ReadErrorsPassThrough)
{
    FakeScript b;
    b.failReads = {1};
    FakeWorld::get().setScript(QStringLiteral("fake:b"), b);
    ASSERT_EQ(open(listOf({{"fake:a", 2}, {"fake:b", 2}})), 0);
    LumoFrame frame;
    EXPECT_EQ(engine.read(3, frame), EIO);
    EXPECT_FALSE(frame.metadata(18).isValid());
}

TEST_F(LumoPlayListEngineTest, EqualNeighboursShareOneEngine)
{
    ASSERT_EQ(open(listOf({{"fake:a", 10}, {"fake:a", 10}, {"fake:b", 3}})), 0);
    LumoFrame frame;
    ASSERT_EQ(engine.read(3, frame), 0);
    ASSERT_EQ(engine.read(13, frame), 0);
    EXPECT_EQ(ops().join(QLatin1String(", ")), QStringLiteral("create, open fake:a, read 3, read 3"));
    EXPECT_EQ(frame.metadata(18).value<LumoPlayListIndex>()->entryIndex, 1);
}

TEST_F(LumoPlayListEngineTest, AnEntryThatFailsToOpenIsNotRetried)
{
    FakeScript failing;
    failing.openError = EIO;
    FakeWorld::get().setScript(QStringLiteral("fake:b"), failing);
    ASSERT_EQ(open(listOf({{"fake:a", 2}, {"fake:b", 2}, {"fake:c", 2}})), 0);
    LumoFrame frame;
    EXPECT_EQ(engine.read(2, frame), EINVAL);
    EXPECT_EQ(engine.read(3, frame), EINVAL);
    EXPECT_EQ(factory.created, 2) << "entry 1 is not made again";
    EXPECT_EQ(engine.read(4, frame), 0);
    EXPECT_EQ(frame.metadata(kSourceKey).toString(), QStringLiteral("fake:c"));
}

TEST_F(LumoPlayListEngineTest, PlayListsNest)
{
    const LumoPlayList inner = listOf({{"fake:b", 3}, {"fake:c", 3}});
    LumoPlayList outer = listOf({{"fake:a", 2}});
    outer.append(LumoPlayListEntry(QStringLiteral("inner"), QVariant::fromValue(inner), 6));
    ASSERT_EQ(open(outer), 0);
    EXPECT_EQ(info->frameCount, 8);
    LumoFrame frame;
    ASSERT_EQ(engine.read(6, frame), 0);
    EXPECT_EQ(frame.metadata(kSourceKey).toString(), QStringLiteral("fake:c"));
    EXPECT_EQ(frame.metadata(kOffsetKey).toInt(), 1);
    const LumoPlayListIndex index = frame.metadata(18).value<LumoPlayListIndex>();
    EXPECT_EQ(index->entryIndex, 1) << "the outer list's index replaces the inner one";
    EXPECT_EQ(index->offset, 4);

    // A second open replaces the list and starts again at entry 0.
    ASSERT_EQ(open(listOf({{"fake:c", 4}})), 0);
    EXPECT_EQ(info->frameCount, 4);
    QStringList destroyed;
    for (FakeCall const& c : FakeWorld::get().calls("destroy"))
        destroyed << c.source;
    EXPECT_EQ(destroyed.join(QLatin1Char(' ')), QStringLiteral("fake:a fake:b fake:c"))
        << "the inner list's entry engine went with it";
    EXPECT_STREQ(engine.metaObject()->className(), "LumoPlayListEngine");
}

// --- engine interface and registries -----------------------------------------------

class OpenOnly : public LumoStreamEngine {
public:
    LumoError open(QVariant const&, int, LumoStreamInfo&) override { return 0; }
};

TEST(LumoStreamEngine, Defaults)
{
    OpenOnly engine;
    LumoFrame frame;
    frame.setMetadata(1, 5);
    const LumoFrame before = frame;
    EXPECT_EQ(engine.read(0, frame), EINVAL);
    EXPECT_TRUE(frame.isSharedWith(before)) << "the frame is not touched";
    EXPECT_EQ(engine.write(0, frame), EINVAL);
    EXPECT_EQ(engine.flush(), 0);
    engine.close();
    EXPECT_STREQ(engine.metaObject()->className(), "QObject");
}

TEST(LumoStreamInfo, DefaultsAndCopies)
{
    const LumoStreamInfo a;
    const LumoStreamInfo b;
    EXPECT_EQ(a->frameCount, 0);
    EXPECT_EQ(a->firstFrameNumber, 0);
    EXPECT_FALSE(a->timecode->isValid());
    EXPECT_FALSE(a.isSharedWith(b));
    LumoStreamInfo copy = a;
    EXPECT_TRUE(copy.isSharedWith(a));
    copy->frameCount = 3;
    EXPECT_EQ(a->frameCount, 0);
    EXPECT_TRUE(copy->timecode.isSharedWith(a->timecode)) << "members are shared, not copied deep";
}

TEST(LumoRegistry, StreamFactoriesInInstallationOrder)
{
    FakeWorld::get().reset();
    FakeFactory first;
    FakeFactory second;
    first.hints = false; // never chosen for a description
    Lumo::installStreamFactory(&first);
    Lumo::installStreamFactory(&second);

    delete lumoStreamEngineCreate(kFakeType);
    EXPECT_EQ(first.created, 1);
    EXPECT_EQ(second.created, 0);
    QObject parent;
    LumoStreamEngine* engine = lumoStreamEngineCreateForDesc(QStringLiteral("fake:x"), &parent);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->parent(), &parent);
    EXPECT_EQ(second.created, 1);
    EXPECT_EQ(lumoStreamEngineCreate(4711), nullptr);
    EXPECT_EQ(lumoStreamEngineCreateForDesc(QStringLiteral("other"), nullptr), nullptr);

    Lumo::removeStreamFactory(&first);
    delete lumoStreamEngineCreate(kFakeType);
    EXPECT_EQ(second.created, 2);

    // Installed twice, removed once: gone.
    Lumo::installStreamFactory(&first);
    Lumo::installStreamFactory(&first);
    Lumo::removeStreamFactory(&first);
    Lumo::removeStreamFactory(&second);
    EXPECT_EQ(lumoStreamEngineCreate(kFakeType), nullptr);
    Lumo::removeStreamFactory(&second); // not installed: nothing

    // A play list needs no factory.
    LumoStreamEngine* playList = lumoStreamEngineCreateForDesc(QVariant::fromValue(LumoPlayList()), &parent);
    ASSERT_NE(playList, nullptr);
    EXPECT_NE(qobject_cast<LumoPlayListEngine*>(playList), nullptr);
    EXPECT_EQ(playList->parent(), &parent);
}

class FakeVideoFactory : public LumoVideoDeviceFactory {
public:
    FakeVideoFactory(char const* name, LumoVideoDeviceEngine* engine) : name(QString::fromLatin1(name)), engine(engine) {}
    bool accepts(QString const& n) override { return n == name; }
    LumoVideoDeviceEngine* create(QString const&) override
    {
        ++created;
        return engine;
    }
    QString name;
    LumoVideoDeviceEngine* engine;
    int created = 0;
};

TEST(LumoRegistry, VideoDeviceFactoriesByName)
{
    // The registry never looks at the engines it hands out.
    LumoVideoDeviceEngine* const sentinel = reinterpret_cast<LumoVideoDeviceEngine*>(quintptr(0x1000));
    FakeVideoFactory none("dev", nullptr);
    FakeVideoFactory some("dev", sentinel);
    FakeVideoFactory other("cam", sentinel);
    Lumo::installVideoDeviceFactory(&none);
    Lumo::installVideoDeviceFactory(&some);
    Lumo::installVideoDeviceFactory(&other);
    EXPECT_EQ(lumoVideoDeviceEngineCreate(QStringLiteral("dev")), nullptr) << "the first match is final";
    EXPECT_EQ(some.created, 0);
    EXPECT_EQ(lumoVideoDeviceEngineCreate(QStringLiteral("cam")), sentinel);
    EXPECT_EQ(lumoVideoDeviceEngineCreate(QStringLiteral("tape")), nullptr);
    Lumo::removeVideoDeviceFactory(&none);
    EXPECT_EQ(lumoVideoDeviceEngineCreate(QStringLiteral("dev")), sentinel);
    Lumo::removeVideoDeviceFactory(&some);
    Lumo::removeVideoDeviceFactory(&other);
    EXPECT_EQ(lumoVideoDeviceEngineCreate(QStringLiteral("cam")), nullptr);
}

} // namespace
