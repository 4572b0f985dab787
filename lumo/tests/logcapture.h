// Captures what the log writers send to the console and the system log,
// through the writer's sink seam, and waits for it with a bound.
#ifndef LUMO_TESTS_LOGCAPTURE_H
#define LUMO_TESTS_LOGCAPTURE_H

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <QByteArray>

#include "lumo/lumolog.h"
#include "lumolog_p.h"

struct SystemEntry {
    int priority;
    QByteArray prefix;
    QByteArray msg;
};

class LogCapture {
public:
    LogCapture()
    {
        clear();
        static const LumoLogSinks sinks = {&LogCapture::onConsole, &LogCapture::onSystem};
        lumoLogSetSinks(&sinks);
    }
    ~LogCapture() { lumoLogSetSinks(nullptr); }

    static void clear()
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        state().console.clear();
        state().system.clear();
    }
    static std::vector<QByteArray> console()
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        return state().console;
    }
    static std::vector<SystemEntry> system()
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        return state().system;
    }
    // Waits up to 5 s for at least count system-log entries.
    static bool waitSystem(size_t count)
    {
        return waitUntil([count] { return system().size() >= count; });
    }
    static bool waitUntil(std::function<bool()> const& condition)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    // Waits (up to 5 s) until every line the default log took before has
    // reached the sinks: the writer keeps their order.
    static bool settle()
    {
        static std::atomic<int> serial{0};
        const QByteArray marker = "settled " + QByteArray::number(++serial) + '\n';
        // Critical, so that no threshold drops it.
        lumoLogOutput(0, QStringLiteral("logcapture"), 0, "%s", marker.constData());
        return waitUntil([&marker] {
            for (SystemEntry const& e : system())
                if (e.msg == marker)
                    return true;
            return false;
        });
    }
    // The entries from one source (the name in the line's prefix).
    static std::vector<SystemEntry> systemFrom(char const* unit)
    {
        std::vector<SystemEntry> found;
        const QByteArray tag = QByteArray(" [") + unit + ':';
        for (SystemEntry const& e : system())
            if (e.prefix.contains(tag))
                found.push_back(e);
        return found;
    }
    // Called on the writer thread before each console line is stored.
    static std::function<void(QByteArray const&)>& consoleHook()
    {
        static auto* hook = new std::function<void(QByteArray const&)>;
        return *hook;
    }

private:
    struct State {
        std::mutex mutex;
        std::vector<QByteArray> console;
        std::vector<SystemEntry> system;
    };
    // Never destroyed: the log's writer thread can still deliver lines
    // while the process's static objects are torn down.
    static State& state()
    {
        static State* s = new State;
        return *s;
    }
    static void onConsole(QByteArray const& text)
    {
        if (consoleHook())
            consoleHook()(text);
        std::lock_guard<std::mutex> lock(state().mutex);
        state().console.push_back(text);
    }
    static void onSystem(int priority, QByteArray const& prefix, QByteArray const& msg)
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        state().system.push_back(SystemEntry{priority, prefix, msg});
    }
};

// A capture that begins once every line logged before it has arrived, so
// that no late line of an earlier test shows in it.
class CleanLogCapture : public LogCapture {
public:
    CleanLogCapture()
    {
        settle();
        clear();
    }
};

// Waits (up to 5 s) until a system-log entry with this message is there.
inline bool logged(QByteArray const& msg)
{
    return LogCapture::waitUntil([&msg] {
        for (SystemEntry const& e : LogCapture::system())
            if (e.msg == msg)
                return true;
        return false;
    });
}

inline int loggedCount(QByteArray const& msg)
{
    int count = 0;
    for (SystemEntry const& e : LogCapture::system())
        count += e.msg == msg ? 1 : 0;
    return count;
}

#endif
