// Scriptable stream engines and factories for the stream tests. An engine
// plays the script registered under its description ("fake:<name>"):
// frame count, first frame number, first time code, latency, failing opens,
// reads and writes, and a gate that holds reads until the test opens it.
// Every engine call is logged with the thread it ran on.
#ifndef LUMO_TESTS_FAKESTREAM_H
#define LUMO_TESTS_FAKESTREAM_H

#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <QHash>
#include <QSemaphore>
#include <QSet>
#include <QString>
#include <QThread>
#include <QVariant>

#include "lumo/lumo.h"
#include "lumo/lumostreamengine.h"

const int kFakeType = 5000;
const int kSourceKey = 5001; // metadata: the description of the engine that read the frame
const int kOffsetKey = 5002; // metadata: the frame number the engine was asked for

struct FakeScript {
    // A script whose reads wait for the test to open the gate.
    static FakeScript gated()
    {
        FakeScript s;
        s.gate = std::make_shared<QSemaphore>(0);
        return s;
    }

    int frameCount = 10;
    int firstFrameNumber = 0;
    LumoTimecode timecode;
    int latencyMs = 0;
    LumoError openError = 0;
    LumoError writeError = 0;
    QSet<int> failReads;
    // Reads wait for a permit when set.
    std::shared_ptr<QSemaphore> gate;
};

struct FakeCall {
    QString source;
    QString op; // create, open, read, write, flush, close, destroy
    int fnum;
    QThread* thread;
};

class FakeWorld {
public:
    static FakeWorld& get()
    {
        static FakeWorld world;
        return world;
    }
    void reset()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _scripts.clear();
        _calls.clear();
    }
    void setScript(QString const& desc, FakeScript const& script)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _scripts[desc] = script;
    }
    FakeScript script(QString const& desc)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _scripts.value(desc);
    }
    void record(QString const& source, char const* op, int fnum = -1)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _calls.push_back(FakeCall{source, QString::fromLatin1(op), fnum, QThread::currentThread()});
    }
    std::vector<FakeCall> calls()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _calls;
    }
    std::vector<FakeCall> calls(char const* op)
    {
        std::vector<FakeCall> selected;
        for (FakeCall const& c : calls())
            if (c.op == QLatin1String(op))
                selected.push_back(c);
        return selected;
    }
    // Waits (without an event loop) up to 5 s for a condition on the log.
    bool waitFor(std::function<bool()> const& condition)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    bool waitForCalls(char const* op, size_t count)
    {
        return waitFor([this, op, count] { return calls(op).size() >= count; });
    }

private:
    std::mutex _mutex;
    QHash<QString, FakeScript> _scripts;
    std::vector<FakeCall> _calls;
};

class FakeEngine : public LumoStreamEngine {
public:
    explicit FakeEngine(QObject* parent = nullptr) : LumoStreamEngine(parent) {}
    ~FakeEngine() override { FakeWorld::get().record(_desc, "destroy"); }

    LumoError open(QVariant const& desc, int mode, LumoStreamInfo& info) override
    {
        _desc = desc.toString();
        _script = FakeWorld::get().script(_desc);
        FakeWorld::get().record(_desc, "open", mode);
        if (mode == Lumo::ReadOnly && info.constData()->frameCount != 0)
            FakeWorld::get().record(_desc, "stale-info"); // read-only opens must get a fresh value
        delay();
        if (_script.openError)
            return _script.openError;
        if (mode == Lumo::ReadOnly) {
            info->frameCount = _script.frameCount;
            info->firstFrameNumber = _script.firstFrameNumber;
            info->timecode = _script.timecode;
            info->text1 = _desc;
            LumoImageDesc image;
            image->type = 231;
            image->width = 1920;
            image->height = 1080;
            info->imageDescs.append(image);
        }
        return 0;
    }
    void close() override { FakeWorld::get().record(_desc, "close"); }
    LumoError read(int fnum, LumoFrame& frame) override
    {
        FakeWorld::get().record(_desc, "read", fnum);
        if (_script.gate)
            _script.gate->acquire();
        delay();
        if (_script.failReads.contains(fnum) || fnum < 0 || fnum >= _script.frameCount)
            return EIO;
        LumoImage image;
        image->desc->width = 1920;
        frame->images.append(image);
        frame.setMetadata(kSourceKey, _desc);
        frame.setMetadata(kOffsetKey, fnum);
        return 0;
    }
    LumoError write(int fnum, LumoFrame const&) override
    {
        FakeWorld::get().record(_desc, "write", fnum);
        delay();
        return _script.writeError;
    }
    LumoError flush() override
    {
        FakeWorld::get().record(_desc, "flush");
        return 0;
    }

private:
    void delay()
    {
        if (_script.latencyMs > 0)
            QThread::msleep(_script.latencyMs);
    }

    QString _desc;
    FakeScript _script;
};

class FakeFactory : public LumoStreamFactory {
public:
    explicit FakeFactory(int type = kFakeType) : type(type) {}

    LumoStreamEngine* create(LumoId const& id, QObject* parent) override
    {
        FakeWorld::get().record(name, "create", int(id));
        ++created;
        return makeNull ? nullptr : new FakeEngine(parent);
    }
    bool accepts(LumoId const& id) override { return int(id) == type; }
    LumoId descHint(QVariant const& desc) const override
    {
        return hints && desc.toString().startsWith(QLatin1String("fake:")) ? LumoId(type) : LumoId(0);
    }

    int type;
    bool hints = true;
    bool makeNull = false;
    int created = 0;
    QString name = QStringLiteral("factory");
};

// Installs a factory for the life of a test.
class InstalledFactory {
public:
    explicit InstalledFactory(FakeFactory* factory) : _factory(factory) { Lumo::installStreamFactory(factory); }
    ~InstalledFactory() { Lumo::removeStreamFactory(_factory); }

private:
    FakeFactory* _factory;
};

#endif
