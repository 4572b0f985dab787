// The video device front end over a scriptable fake engine: forwarding,
// the pending-flush, pending-setup and started flags, close, the remembered
// input states and the fifteen relayed signals, also from another thread.
#include <gtest/gtest.h>

#include <syslog.h>

#include <cerrno>
#include <thread>

#include <QPointer>
#include <QStringList>
#include <QThread>

#include "logcapture.h"
#include "lumo/lumovideodevice.h"
#include "qtprint.h"
#include "qtwait.h"

// Reads the device's private state.
class LumoVideoDeviceTestPeer {
public:
    explicit LumoVideoDeviceTestPeer(LumoVideoDevice const& device) : d(device) {}
    bool flushPending() const { return d._flushPending; }
    bool setupPending() const { return d._setupPending; }
    bool started() const { return d._started; }
    LumoVideoDeviceEngine* engine() const { return d._engine; }
    LumoVideoDeviceSetup setup() const { return d._setup; }
    QVector<LumoVideoState> inputStates() const { return d._inputStates; }
    QVector<LumoVideoRefState> refInputStates() const { return d._refInputStates; }

private:
    LumoVideoDevice const& d;
};

namespace {

class FakeEngine : public LumoVideoDeviceEngine {
public:
    quint32 videoInputTranslation(unsigned int input) override { return 100 + input; }
    quint32 videoOutputTranslation(unsigned int output) override { return 200 + output; }
    int framesWritable() const override { return 5; }
    int framesReadable() const override { return 6; }
    int framesDropped() const override { return 7; }
    LumoMetadataHash currentFrameMetadata() const override
    {
        LumoMetadataHash hash;
        hash.insert(3, LumoMetadata(3, 33));
        return hash;
    }
    LumoError setup(LumoVideoDeviceSetup const& s) override
    {
        lastSetup = s;
        return setupResult;
    }
    LumoError readFrame(LumoFrame& frame) override
    {
        frame.setMetadata(1, 41);
        return 0;
    }
    LumoError writeFrame(LumoFrame const& frame) override
    {
        written = frame.metadata(1).toInt();
        return 0;
    }
    LumoError flush() override { return flushResult; }
    LumoError setProperty(LumoId const& id, QVariant const& value) override
    {
        properties[id] = value;
        return 0;
    }
    LumoError getProperty(LumoId const& id, QVariant& value) const override
    {
        if (!properties.contains(id))
            return ENOENT;
        value = properties.value(id);
        return 0;
    }
    QString stateAsString() const override { return QStringLiteral("fake running"); }

    LumoError setupResult = 0;
    LumoError flushResult = 0;
    LumoVideoDeviceSetup lastSetup;
    int written = 0;
    QHash<int, QVariant> properties;
};

// Makes fake engines for the name "fake" while it lives.
class FakeFactory : public LumoVideoDeviceFactory {
public:
    FakeFactory() { Lumo::installVideoDeviceFactory(this); }
    ~FakeFactory() override { Lumo::removeVideoDeviceFactory(this); }
    bool accepts(QString const& name) override { return name == QLatin1String("fake"); }
    LumoVideoDeviceEngine* create(QString const&) override
    {
        FakeEngine* engine = new FakeEngine;
        last = engine;
        return engine;
    }
    QPointer<FakeEngine> last;
};

// Every signal of a device as text, in order, with the thread it came on.
class DeviceSpy {
public:
    explicit DeviceSpy(LumoVideoDevice* d)
    {
        typedef LumoVideoDevice D;
        QObject::connect(d, &D::vbi, &_context,
                         [this](LumoVbiInfo const& v) { add(QStringLiteral("vbi %1").arg(v->timeStamp.seconds)); });
        QObject::connect(d, &D::frameDropped, &_context, [this] { add(QStringLiteral("frameDropped")); });
        QObject::connect(d, &D::playedKeyFrame, &_context,
                         [this](LumoMetadataHash const& m) { add(QStringLiteral("playedKeyFrame") + text(m)); });
        QObject::connect(d, &D::setupIsDone, &_context,
                         [this](LumoError const& e) { add(QStringLiteral("setupIsDone %1").arg(e)); });
        QObject::connect(d, &D::writeToHardwareFailed, &_context, [this](LumoError const& e, LumoFrame const& f) {
            add(QStringLiteral("writeToHardwareFailed %1 %2").arg(e).arg(f.metadata(1).toInt()));
        });
        QObject::connect(d, &D::readFromHardwareFailed, &_context,
                         [this](LumoError const& e) { add(QStringLiteral("readFromHardwareFailed %1").arg(e)); });
        QObject::connect(d, &D::flushed, &_context,
                         [this](LumoMetadataHash const& m) { add(QStringLiteral("flushed") + text(m)); });
        QObject::connect(d, &D::hardwareStarted, &_context, [this] { add(QStringLiteral("hardwareStarted")); });
        QObject::connect(d, &D::inputChanged, &_context, [this](int n, LumoVideoState const& s) {
            add(QStringLiteral("inputChanged %1 %2").arg(n).arg(s->value));
        });
        QObject::connect(d, &D::refInputChanged, &_context, [this](int n, LumoVideoRefState const& s) {
            add(QStringLiteral("refInputChanged %1 %2").arg(n).arg(s->value));
        });
        QObject::connect(d, &D::firmwareLoading, &_context, [this](QString const& id, bool done) {
            add(QStringLiteral("firmwareLoading %1 %2").arg(id).arg(done));
        });
        QObject::connect(d, &D::raiseVFRAlarm, &_context,
                         [this](bool on) { add(QStringLiteral("raiseVFRAlarm %1").arg(on)); });
        QObject::connect(d, &D::hardwareSignal, &_context,
                         [this](LumoId const& id) { add(QStringLiteral("hardwareSignal %1").arg(int(id))); });
        QObject::connect(d, &D::inputAncDataChanged, &_context,
                         [this](LumoMetadataHash const& m) { add(QStringLiteral("inputAncDataChanged") + text(m)); });
        QObject::connect(d, &D::alarmTriggered, &_context, [this](LumoAlarm const& a) {
            add(QStringLiteral("alarmTriggered %1 %2").arg(int(a.id())).arg(a.state()));
        });
    }

    QStringList events;
    QList<QThread*> threads;

    QString joined() const { return events.join(QLatin1String(", ")); }
    bool waitFor(int count)
    {
        return WaitFor([this, count] { return events.size() >= count; }, 5000);
    }

private:
    static QString text(LumoMetadataHash const& m)
    {
        QStringList parts;
        for (LumoMetadata const& entry : m)
            parts << QStringLiteral("%1=%2").arg(int(entry.id)).arg(entry.value.toString());
        parts.sort();
        return parts.isEmpty() ? QString() : QLatin1Char(' ') + parts.join(QLatin1Char(','));
    }
    void add(QString const& event)
    {
        events << event;
        threads << QThread::currentThread();
    }

    QObject _context;
};

LumoMetadataHash metadata(int id, int value)
{
    LumoMetadataHash hash;
    hash.insert(id, LumoMetadata(id, value));
    return hash;
}

TEST(LumoVideoDeviceEngine, DefaultsOfAnEngineThatOverridesNothing)
{
    LumoVideoDeviceEngine engine(nullptr);
    LumoFrame frame;
    QVariant value(5);
    EXPECT_EQ(engine.videoInputTranslation(1), 0u);
    EXPECT_EQ(engine.videoOutputTranslation(1), 0u);
    EXPECT_EQ(engine.framesWritable(), 0);
    EXPECT_EQ(engine.framesReadable(), 0);
    EXPECT_EQ(engine.framesDropped(), 0);
    EXPECT_TRUE(engine.currentFrameMetadata().isEmpty());
    EXPECT_EQ(engine.setup(LumoVideoDeviceSetup()), 0);
    EXPECT_EQ(engine.readFrame(frame), EOPNOTSUPP);
    EXPECT_EQ(engine.writeFrame(frame), EOPNOTSUPP);
    EXPECT_EQ(engine.flush(), EOPNOTSUPP);
    EXPECT_EQ(engine.setProperty(3, 1), EOPNOTSUPP);
    EXPECT_EQ(engine.getProperty(3, value), EOPNOTSUPP);
    EXPECT_EQ(value.toInt(), 5);
    EXPECT_TRUE(engine.stateAsString().isNull());
}

TEST(LumoVideoDeviceTypes, DefaultsAndSharing)
{
    LumoVideoDeviceSetup setup;
    LumoVideoDeviceSetupData const& s = *setup;
    EXPECT_EQ(int(s.ltcConnector), 1050);
    EXPECT_EQ(s.ltcConnector.name(), QStringLiteral("LTCConnector_In"));
    for (quint32 v : s.values5to12)
        EXPECT_EQ(v, 0u);
    for (quint32 v : s.values14to18)
        EXPECT_EQ(v, 0u);
    for (bool f : s.flags19to21)
        EXPECT_FALSE(f);
    for (quint32 v : s.values22to24)
        EXPECT_EQ(v, 0u);
    EXPECT_TRUE(s.flag25);
    EXPECT_FALSE(s.flag26);
    EXPECT_EQ(s.value27, -1);
    EXPECT_EQ(s.value28, 40u);
    for (bool f : s.flags29to31)
        EXPECT_FALSE(f);
    EXPECT_EQ(s.value32, 10u);
    EXPECT_EQ(s.value33, 0u);
    EXPECT_TRUE(s.flag34);
    EXPECT_EQ(s.firstLut->entries, 0);
    EXPECT_TRUE(s.firstLut->name.isEmpty());
    EXPECT_TRUE(s.secondLut->data.isEmpty());

    // Copies share; a write detaches.
    LumoVideoDeviceSetup copy = setup;
    EXPECT_TRUE(copy.isSharedWith(setup));
    copy->value28 = 41;
    EXPECT_FALSE(copy.isSharedWith(setup));
    EXPECT_EQ(setup->value28, 40u);

    LumoVideoRefState ref;
    EXPECT_EQ(ref->value, 0u);
    EXPECT_FALSE(ref->flag1);
    EXPECT_FALSE(ref->flag2);
    LumoVbiInfo vbi;
    EXPECT_EQ(vbi->timeStamp.seconds, 0);
    EXPECT_EQ(vbi->timeStamp.microseconds, 0);
    EXPECT_FALSE(vbi->firstTimecode->isValid());
    EXPECT_FALSE(vbi->secondTimecode->isValid());
}

TEST(LumoVideoDevice, ClosedDeviceAnswersWithoutAnEngine)
{
    CleanLogCapture capture;
    LumoVideoDevice device;
    DeviceSpy spy(&device);
    LumoFrame frame;
    QVariant value;
    EXPECT_EQ(device.videoInputTranslation(1), 0u);
    EXPECT_EQ(device.videoOutputTranslation(1), 0u);
    EXPECT_EQ(device.framesWritable(), 0);
    EXPECT_EQ(device.framesReadable(), 0);
    EXPECT_EQ(device.framesDropped(), 0);
    EXPECT_TRUE(device.currentFrameMetadata().isEmpty());
    EXPECT_EQ(device.setProperty(3, 1), EINVAL);
    EXPECT_EQ(device.getProperty(3, value), EINVAL);
    EXPECT_TRUE(device.stateAsString().isNull());
    EXPECT_EQ(device.writeFrame(frame), EPERM);
    EXPECT_EQ(device.readFrame(frame), EPERM);
    EXPECT_EQ(device.flush(), EPERM);
    EXPECT_EQ(device.setup(LumoVideoDeviceSetup()), EPERM);

    // Only flush and setup complain, each at warning level.
    ASSERT_TRUE(LogCapture::settle());
    const std::vector<SystemEntry> lines = LogCapture::systemFrom("lumovideodevice");
    ASSERT_EQ(lines.size(), 2u);
    for (SystemEntry const& e : lines) {
        EXPECT_EQ(e.msg, QByteArray("Device is not open\n"));
        EXPECT_EQ(e.priority, LOG_WARNING);
    }
    LumoVideoDeviceTestPeer peer(device);
    EXPECT_FALSE(peer.flushPending());
    EXPECT_FALSE(peer.setupPending());
    EXPECT_TRUE(spy.events.isEmpty());
}

TEST(LumoVideoDevice, ForwardsToTheEngine)
{
    FakeFactory factory;
    LumoVideoDevice device;
    ASSERT_TRUE(device.open(QStringLiteral("fake")));
    ASSERT_TRUE(factory.last);
    EXPECT_EQ(device.videoInputTranslation(2), 102u);
    EXPECT_EQ(device.videoOutputTranslation(3), 203u);
    EXPECT_EQ(device.framesWritable(), 5);
    EXPECT_EQ(device.framesReadable(), 6);
    EXPECT_EQ(device.framesDropped(), 7);
    EXPECT_EQ(device.currentFrameMetadata().value(3).value.toInt(), 33);
    EXPECT_EQ(device.stateAsString(), QStringLiteral("fake running"));

    QVariant value;
    EXPECT_EQ(device.getProperty(9, value), ENOENT);
    EXPECT_EQ(device.setProperty(9, QStringLiteral("x")), 0);
    EXPECT_EQ(device.getProperty(9, value), 0);
    EXPECT_EQ(value.toString(), QStringLiteral("x"));

    LumoFrame frame;
    EXPECT_EQ(device.readFrame(frame), 0);
    EXPECT_EQ(frame.metadata(1).toInt(), 41);
    frame.setMetadata(1, 42);
    EXPECT_EQ(device.writeFrame(frame), 0);
    EXPECT_EQ(factory.last->written, 42);

    // The setup reaches the engine as the same shared record.
    LumoVideoDeviceSetup setup;
    setup->value32 = 77;
    EXPECT_EQ(device.setup(setup), 0);
    EXPECT_TRUE(factory.last->lastSetup.isSharedWith(setup));
    EXPECT_TRUE(LumoVideoDeviceTestPeer(device).setup().isSharedWith(setup));
}

// A step script against one device. Steps: flush and setup through the
// device ("!" makes the engine refuse with 5), and the engine's reports
// flushed, done (setupIsDone 0) and started. Then the flags, and what the
// frame counts read, which a pending operation holds at 0.
struct FlagCase {
    char const* steps;
    char const* results; // what flush and setup returned, in order
    bool flushPending;
    bool setupPending;
    bool started;
    int writable; // readable is writable + 1 whenever not 0
};

const FlagCase kFlagCases[] = {
    {"", "", false, false, false, 5},
    {"flush", "0", true, false, false, 0},
    {"flush!", "5", false, false, false, 5},
    {"flush flushed", "0", false, false, false, 5},
    {"flush flush", "0 16", true, false, false, 0},
    {"setup", "0", false, true, false, 0},
    {"setup!", "5", false, false, false, 5},
    {"setup done", "0", false, false, false, 5},
    {"setup setup", "0 16", false, true, false, 0},
    {"setup done started", "0", false, false, true, 5},
    {"setup started", "0", false, true, true, 0},
    {"started setup", "0", false, true, false, 0},
    {"started setup!", "5", false, false, true, 5},
    {"flush setup", "0 0", true, true, false, 0},
    {"flush setup flushed", "0 0", false, true, false, 0},
    {"flush setup done", "0 0", true, false, false, 0},
    {"flush setup done flushed", "0 0", false, false, false, 5},
    {"flush! setup! started", "5 5", false, false, true, 5},
};

TEST(LumoVideoDevice, PendingFlagTable)
{
    FakeFactory factory;
    for (FlagCase const& c : kFlagCases) {
        SCOPED_TRACE(c.steps);
        LumoVideoDevice device;
        ASSERT_TRUE(device.open(QStringLiteral("fake")));
        FakeEngine* engine = factory.last;
        QStringList results;
        for (QString const& step : QString::fromLatin1(c.steps).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const bool refuse = step.endsWith(QLatin1Char('!'));
            engine->flushResult = engine->setupResult = refuse ? 5 : 0;
            if (step.startsWith(QLatin1String("flush")) && step != QLatin1String("flushed"))
                results << QString::number(device.flush());
            else if (step.startsWith(QLatin1String("setup")))
                results << QString::number(device.setup(LumoVideoDeviceSetup()));
            else if (step == QLatin1String("flushed"))
                emit engine->flushed(LumoMetadataHash());
            else if (step == QLatin1String("done"))
                emit engine->setupIsDone(0);
            else if (step == QLatin1String("started"))
                emit engine->hardwareStarted();
        }
        LumoVideoDeviceTestPeer peer(device);
        EXPECT_EQ(results.join(QLatin1Char(' ')), QString::fromLatin1(c.results));
        EXPECT_EQ(peer.flushPending(), c.flushPending);
        EXPECT_EQ(peer.setupPending(), c.setupPending);
        EXPECT_EQ(peer.started(), c.started);
        EXPECT_EQ(device.framesWritable(), c.writable);
        EXPECT_EQ(device.framesReadable(), c.writable ? c.writable + 1 : 0);
        EXPECT_EQ(device.framesDropped(), 7);
    }
}

TEST(LumoVideoDevice, SecondFlushOrSetupIsRefusedAndLogged)
{
    FakeFactory factory;
    LumoVideoDevice device;
    ASSERT_TRUE(device.open(QStringLiteral("fake")));
    CleanLogCapture capture;
    ASSERT_EQ(device.flush(), 0);
    ASSERT_EQ(device.setup(LumoVideoDeviceSetup()), 0);
    EXPECT_EQ(device.flush(), EBUSY);
    EXPECT_EQ(device.setup(LumoVideoDeviceSetup()), EBUSY);
    ASSERT_TRUE(LogCapture::settle());
    const std::vector<SystemEntry> lines = LogCapture::systemFrom("lumovideodevice");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].msg, QByteArray("Device has pending flush\n"));
    EXPECT_EQ(lines[0].priority, LOG_ERR);
    EXPECT_EQ(lines[1].msg, QByteArray("Device has pending setup\n"));
    EXPECT_EQ(lines[1].priority, LOG_WARNING);
}

TEST(LumoVideoDevice, RefusedSetupIsKeptAndLeavesStarted)
{
    FakeFactory factory;
    LumoVideoDevice device;
    ASSERT_TRUE(device.open(QStringLiteral("fake")));
    emit factory.last->hardwareStarted();
    factory.last->setupResult = EIO;
    LumoVideoDeviceSetup setup;
    setup->value33 = 3;
    EXPECT_EQ(device.setup(setup), EIO);
    LumoVideoDeviceTestPeer peer(device);
    EXPECT_TRUE(peer.setup().isSharedWith(setup));
    EXPECT_TRUE(peer.started());
    EXPECT_FALSE(peer.setupPending());
}

TEST(LumoVideoDevice, CloseEndsBothPendingOperations)
{
    FakeFactory factory;
    LumoVideoDevice device;
    DeviceSpy spy(&device);
    ASSERT_TRUE(device.open(QStringLiteral("fake")));
    QPointer<FakeEngine> engine = factory.last;
    emit engine->hardwareStarted();
    ASSERT_EQ(device.setup(LumoVideoDeviceSetup()), 0);
    emit engine->hardwareStarted();
    ASSERT_EQ(device.flush(), 0);
    spy.events.clear();

    device.close();
    EXPECT_EQ(spy.joined(), QStringLiteral("flushed, setupIsDone 16"));
    EXPECT_TRUE(engine.isNull());
    LumoVideoDeviceTestPeer peer(device);
    EXPECT_FALSE(peer.flushPending());
    EXPECT_FALSE(peer.setupPending());
    EXPECT_FALSE(peer.started());
    EXPECT_EQ(peer.engine(), nullptr);

    // Nothing is left to end.
    device.close();
    EXPECT_EQ(spy.events.size(), 2);
}

TEST(LumoVideoDevice, OpenOfAnUnknownNameClosesTheOpenEngineFirst)
{
    FakeFactory factory;
    LumoVideoDevice device;
    DeviceSpy spy(&device);
    ASSERT_TRUE(device.open(QStringLiteral("fake")));
    QPointer<FakeEngine> first = factory.last;
    ASSERT_EQ(device.flush(), 0);

    CleanLogCapture capture;
    EXPECT_FALSE(device.open(QStringLiteral("no such engine")));
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(spy.joined(), QStringLiteral("flushed"));
    ASSERT_TRUE(LogCapture::settle());
    const std::vector<SystemEntry> lines = LogCapture::systemFrom("lumovideodevice");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].msg, QByteArray("Could not create the video device engine \"no such engine\"\n"));
    EXPECT_EQ(lines[0].priority, LOG_ERR);
    LumoFrame frame;
    EXPECT_EQ(device.readFrame(frame), EPERM);

    // Reusable: open again.
    EXPECT_TRUE(device.open(QStringLiteral("fake")));
    EXPECT_NE(factory.last, nullptr);
}

TEST(LumoVideoDevice, RemembersTheLastStateOfEachInput)
{
    FakeFactory factory;
    LumoVideoDevice device;
    DeviceSpy spy(&device);
    ASSERT_TRUE(device.open(QStringLiteral("fake")));
    LumoVideoState state;
    state->value = 9;
    emit factory.last->inputChanged(3, state);
    emit factory.last->inputChanged(-1, state);
    LumoVideoRefState ref;
    ref->value = 4;
    emit factory.last->refInputChanged(1, ref);
    emit factory.last->refInputChanged(-2, ref);
    EXPECT_EQ(spy.joined(), QStringLiteral("inputChanged 3 9, refInputChanged 1 4"));

    LumoVideoDeviceTestPeer peer(device);
    QVector<LumoVideoState> inputs = peer.inputStates();
    ASSERT_EQ(inputs.size(), 4);
    EXPECT_TRUE(inputs[3].isSharedWith(state));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(inputs[i]->value, 0);
    ASSERT_EQ(peer.refInputStates().size(), 2);
    EXPECT_TRUE(peer.refInputStates()[1].isSharedWith(ref));

    // A lower input replaces its entry only; the lists outlive close.
    LumoVideoState other;
    emit factory.last->inputChanged(1, other);
    device.close();
    inputs = peer.inputStates();
    ASSERT_EQ(inputs.size(), 4);
    EXPECT_TRUE(inputs[1].isSharedWith(other));
    EXPECT_TRUE(inputs[3].isSharedWith(state));
}

// The engine emits each of its fifteen signals once; the device shows each
// once with the same arguments, the five it handles itself included.
TEST(LumoVideoDevice, RelaysTheFifteenEngineSignals)
{
    FakeFactory factory;
    LumoVideoDevice device;
    ASSERT_TRUE(device.open(QStringLiteral("fake")));
    ASSERT_EQ(device.setup(LumoVideoDeviceSetup()), 0);
    ASSERT_EQ(device.flush(), 0);
    DeviceSpy spy(&device);
    FakeEngine* engine = factory.last;

    LumoVbiInfo vbi;
    vbi->timeStamp = LumoTimeStamp(12, 5);
    LumoFrame frame;
    frame.setMetadata(1, 8);
    LumoVideoState state;
    state->value = 6;
    LumoVideoRefState ref;
    ref->value = 2;
    emit engine->vbi(vbi);
    emit engine->playedKeyFrame(metadata(4, 44));
    emit engine->setupIsDone(3);
    emit engine->readFromHardwareFailed(5);
    emit engine->writeToHardwareFailed(6, frame);
    emit engine->flushed(metadata(7, 77));
    emit engine->hardwareStarted();
    emit engine->frameDropped();
    emit engine->inputChanged(0, state);
    emit engine->refInputChanged(2, ref);
    emit engine->firmwareLoading(QStringLiteral("fpga"), true);
    emit engine->raiseVFRAlarm(true);
    emit engine->hardwareSignal(1900);
    emit engine->inputAncDataChanged(metadata(8, 88));
    emit engine->alarmTriggered(LumoAlarm(1901, 2));

    EXPECT_EQ(spy.events, QStringList({
                              "vbi 12",
                              "playedKeyFrame 4=44",
                              "setupIsDone 3",
                              "readFromHardwareFailed 5",
                              "writeToHardwareFailed 6 8",
                              "flushed 7=77",
                              "hardwareStarted",
                              "frameDropped",
                              "inputChanged 0 6",
                              "refInputChanged 2 2",
                              "firmwareLoading fpga 1",
                              "raiseVFRAlarm 1",
                              "hardwareSignal 1900",
                              "inputAncDataChanged 8=88",
                              "alarmTriggered 1901 2",
                          }));
    LumoVideoDeviceTestPeer peer(device);
    EXPECT_FALSE(peer.setupPending());
    EXPECT_FALSE(peer.flushPending());
    EXPECT_TRUE(peer.started());
}

// Signals an engine emits on a thread of its own arrive queued, on the
// device's thread, in order.
TEST(LumoVideoDevice, SignalsFromAnotherThreadArriveOnTheDevicesThread)
{
    FakeFactory factory;
    LumoVideoDevice device;
    ASSERT_TRUE(device.open(QStringLiteral("fake")));
    ASSERT_EQ(device.setup(LumoVideoDeviceSetup()), 0);
    DeviceSpy spy(&device);
    FakeEngine* engine = factory.last;

    std::thread hardware([engine] {
        LumoVbiInfo vbi;
        vbi->timeStamp = LumoTimeStamp(7, 0);
        LumoVideoState state;
        state->value = 1;
        emit engine->vbi(vbi);
        emit engine->inputChanged(2, state);
        emit engine->alarmTriggered(LumoAlarm(1902, 1));
        emit engine->setupIsDone(0);
    });
    hardware.join();
    EXPECT_TRUE(spy.events.isEmpty()) << "delivered through the event loop";
    ASSERT_TRUE(spy.waitFor(4));
    EXPECT_EQ(spy.joined(), QStringLiteral("vbi 7, inputChanged 2 1, alarmTriggered 1902 1, setupIsDone 0"));
    for (QThread* thread : spy.threads)
        EXPECT_EQ(thread, device.thread());
    EXPECT_FALSE(LumoVideoDeviceTestPeer(device).setupPending());
    EXPECT_EQ(LumoVideoDeviceTestPeer(device).inputStates().size(), 3);
}

} // namespace
