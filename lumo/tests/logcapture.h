// Captures what the log writers send to the console and the system log,
// through the writer's sink seam, and waits for it with a bound.
#ifndef LUMO_TESTS_LOGCAPTURE_H
#define LUMO_TESTS_LOGCAPTURE_H

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <QByteArray>

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
    // Called on the writer thread before each console line is stored.
    static std::function<void(QByteArray const&)>& consoleHook()
    {
        static std::function<void(QByteArray const&)> hook;
        return hook;
    }

private:
    struct State {
        std::mutex mutex;
        std::vector<QByteArray> console;
        std::vector<SystemEntry> system;
    };
    static State& state()
    {
        static State s;
        return s;
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

#endif
