// A listener that records every event with the thread it came on, and lets
// a test wait for a number of them.
#ifndef STORE_EVENTRECORDER_H
#define STORE_EVENTRECORDER_H

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/valuekind.h"

namespace storetest {

struct RecordedEvent {
    eParam_t id;
    ValueKind kind;
    int intValue;
    std::string bytes;
    timeval when;
    std::thread::id thread;
};

class EventRecorder : public ConfigEventListener {
public:
    int IntegerChanged(eParam_t id, int value, timeval when) override
    {
        record({id, ValueKind::Integer, value, std::string(), when, std::this_thread::get_id()});
        return 0;
    }
    int StringChanged(eParam_t id, std::string& value, timeval when) override
    {
        record({id, ValueKind::String, 0, value, when, std::this_thread::get_id()});
        return 0;
    }
    int DataChanged(eParam_t id, std::string& bytes, timeval when) override
    {
        record({id, ValueKind::Data, 0, bytes, when, std::this_thread::get_id()});
        return 0;
    }

    // While held, a callback records its event and then waits for Let,
    // as a listener that stops taking events.
    void Hold()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _held = true;
    }
    void Let()
    {
        {
            std::lock_guard<std::mutex> lock(_mutex);
            _held = false;
        }
        _cv.notify_all();
    }

    bool WaitFor(size_t count, int timeoutMs = 5000)
    {
        std::unique_lock<std::mutex> lock(_mutex);
        return _cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return _events.size() >= count; });
    }
    // The first byte of the last string or data value, -1 when there is
    // none (cheap to poll while large values arrive).
    int LastFirstByte()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _events.empty() || _events.back().bytes.empty() ? -1 : (unsigned char)_events.back().bytes[0];
    }
    std::vector<RecordedEvent> Events()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _events;
    }

private:
    void record(RecordedEvent e)
    {
        std::unique_lock<std::mutex> lock(_mutex);
        _events.push_back(std::move(e));
        _cv.notify_all();
        _cv.wait(lock, [this] { return !_held; });
    }

    std::mutex _mutex;
    std::condition_variable _cv;
    std::vector<RecordedEvent> _events;
    bool _held = false;
};

// Lets a held recorder go when the scope ends, so a failing test never
// leaves a callback waiting while its config is released.
class LetGoAtEnd {
public:
    explicit LetGoAtEnd(EventRecorder& recorder) : _recorder(recorder) {}
    ~LetGoAtEnd() { _recorder.Let(); }

private:
    EventRecorder& _recorder;
};

// Releases its config from inside its first callback, after removing
// itself when told to; later calls are only counted. A config the callback
// never released is released when the listener goes.
class ReleasingListener : public ConfigEventListener {
public:
    ReleasingListener(Config* config, bool removeFirst) : _config(config), _removeFirst(removeFirst) {}
    ~ReleasingListener() override { release(); }
    int IntegerChanged(eParam_t, int, timeval) override
    {
        ++calls;
        release();
        return 0;
    }
    bool Released() const { return _config.load() == nullptr; }

    std::atomic<int> calls{0};

private:
    void release()
    {
        Config* c = _config.exchange(nullptr);
        if (!c)
            return;
        if (_removeFirst)
            c->RemoveEventListener(this);
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);
    }

    std::atomic<Config*> _config;
    bool _removeFirst;
};

// Recorders for a fixture to hold: they outlive the configs it releases in
// TearDown, which a test body's locals do not, and a listener must outlive
// its registration.
class RecorderPool {
public:
    EventRecorder& New()
    {
        _recorders.emplace_back();
        return _recorders.back();
    }

private:
    std::deque<EventRecorder> _recorders;
};

} // namespace storetest

#endif
