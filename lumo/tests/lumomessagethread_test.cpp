// The message thread: queue order, the completed list, waiting for one's
// own message among concurrent waiters, the idle hook, stop and
// destruction while a handler still runs.
#include <gtest/gtest.h>

#include <syslog.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include "logcapture.h"
#include "lumo/lumomessagethread.h"

namespace {

// A one-shot gate the handler can be held at.
class Gate {
public:
    void open()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _open = true;
        _changed.notify_all();
    }
    // False when it stayed shut for 5 s.
    bool pass()
    {
        std::unique_lock<std::mutex> lock(_mutex);
        return _changed.wait_for(lock, std::chrono::seconds(5), [this] { return _open; });
    }

private:
    std::mutex _mutex;
    std::condition_variable _changed;
    bool _open = false;
};

// Records the ids it handles and the hooks it runs, on which thread.
class RecordingThread : public LumoMessageThread {
public:
    ~RecordingThread() override { stop(); }

    std::vector<int> handled() const
    {
        QMutexLocker lock(&_mutex);
        return _handled;
    }
    int idles() const { return _idles; }
    bool hooksOnOwnThread() const { return _hooksOnOwnThread; }

    Gate* gate = nullptr;           // held before each message when set
    std::atomic<bool> inHandler{false};
    std::atomic<int> inits{0};
    std::atomic<int> cleanups{0};

protected:
    void init() override
    {
        check();
        ++inits;
    }
    void cleanup() override
    {
        check();
        ++cleanups;
    }
    void idle() override
    {
        check();
        ++_idles;
    }
    void handleMessage(LumoMessage* message) override
    {
        check();
        inHandler = true;
        if (gate)
            gate->pass();
        QMutexLocker lock(&_mutex);
        _handled.push_back(message->id());
    }

private:
    void check()
    {
        if (QThread::currentThread() != this)
            _hooksOnOwnThread = false;
    }

    mutable QMutex _mutex;
    std::vector<int> _handled;
    std::atomic<int> _idles{0};
    std::atomic<bool> _hooksOnOwnThread{true};
};

// Runs body on a thread of its own; false when it did not finish within 5 s
// (the thread is then left behind, and the test stops here).
template <typename Body>
bool finishes(Body body)
{
    std::packaged_task<void()> task(body);
    std::future<void> done = task.get_future();
    std::thread(std::move(task)).detach();
    return done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
}

void failHard(char const* what)
{
    fprintf(stderr, "%s\n", what);
    fflush(stderr);
    _exit(1);
}

TEST(LumoMessageThread, QueuedBeforeStartAreHandledInOrder)
{
    RecordingThread thread;
    LumoMessage a(1), b(2), c(3);
    thread.queue(&a);
    thread.queue(&b);
    thread.queue(nullptr);
    thread.queue(&c);
    EXPECT_EQ(thread.pending(), 3);
    EXPECT_EQ(thread.completed(), 0);

    thread.start();
    EXPECT_EQ(thread.thread(), &thread) << "the object moves to its thread";
    ASSERT_TRUE(LogCapture::waitUntil([&] { return thread.completed() == 3; }));
    EXPECT_EQ(thread.handled(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(thread.pending(), 0);
    EXPECT_EQ(thread.completed(), 3);

    // Removal by message, then the oldest by null.
    EXPECT_TRUE(thread.removeCompleted(&b));
    EXPECT_FALSE(thread.removeCompleted(&b));
    EXPECT_TRUE(thread.removeCompleted(nullptr));
    EXPECT_EQ(thread.completed(), 1);
    EXPECT_FALSE(thread.removeCompleted(&a)) << "a was the oldest";
    EXPECT_TRUE(thread.waitForCompleted(nullptr, 0));
    EXPECT_FALSE(thread.removeCompleted(nullptr));

    thread.stop();
    EXPECT_EQ(thread.inits.load(), 1);
    EXPECT_EQ(thread.cleanups.load(), 1);
    EXPECT_TRUE(thread.hooksOnOwnThread());
}

TEST(LumoMessageThread, QueueAndWaitReturnsOnceItsMessageIsHandled)
{
    RecordingThread thread;
    thread.start();
    LumoMessage m(7);
    if (!finishes([&] { thread.queueAndWait(&m); }))
        failHard("queueAndWait did not return");
    EXPECT_EQ(thread.handled(), (std::vector<int>{7}));
    EXPECT_EQ(thread.completed(), 0) << "taken out of the completed list";
    thread.queueAndWait(nullptr);
    EXPECT_EQ(thread.pending(), 0);
}

TEST(LumoMessageThread, WaitForCompletedTimesOutWithoutACompletion)
{
    RecordingThread thread;
    LumoMessage never(1);
    EXPECT_FALSE(thread.waitForCompleted(&never, 20)) << "not running: nothing completes";
    EXPECT_FALSE(thread.waitForCompleted(nullptr, 0));

    // Another message's completion ends no wait for this one.
    thread.start();
    LumoMessage other(2);
    thread.queue(&other);
    EXPECT_FALSE(thread.waitForCompleted(&never, 100));
    EXPECT_TRUE(thread.waitForCompleted(&other, 5000));
}

// Two threads each wait for their own message at the same time, many times
// over: each completion must reach its own waiter, whichever wakes first.
TEST(LumoMessageThread, ConcurrentWaitersEachReturn)
{
    RecordingThread thread;
    thread.start();
    for (int round = 0; round < 300; ++round) {
        LumoMessage first(2 * round);
        LumoMessage second(2 * round + 1);
        const bool ok = finishes([&] {
            std::thread a([&] { thread.queueAndWait(&first); });
            std::thread b([&] { thread.queueAndWait(&second); });
            a.join();
            b.join();
        });
        if (!ok)
            failHard("a waiter of the message thread never returned");
    }
    EXPECT_EQ(thread.completed(), 0);
    EXPECT_EQ(thread.handled().size(), 600u);
}

// Waiters with a time limit and waiters for the oldest message, mixed:
// every message is taken out exactly once.
TEST(LumoMessageThread, MixedWaitersTakeEachMessageOnce)
{
    RecordingThread thread;
    thread.start();
    const int kWaiters = 4;
    const int kEach = 200;
    std::vector<LumoMessage*> messages;
    for (int i = 0; i < kWaiters * kEach; ++i)
        messages.push_back(new LumoMessage(i));
    std::atomic<int> taken{0};
    const bool ok = finishes([&] {
        std::vector<std::thread> waiters;
        for (int w = 0; w < kWaiters; ++w)
            waiters.emplace_back([&, w] {
                for (int i = 0; i < kEach; ++i) {
                    LumoMessage* m = messages[size_t(w * kEach + i)];
                    thread.queue(m);
                    if (w % 2 == 0) {
                        while (!thread.waitForCompleted(m, 50)) {
                        }
                        ++taken;
                    }
                }
            });
        for (std::thread& t : waiters)
            t.join();
    });
    if (!ok)
        failHard("mixed waiters never finished");
    // The odd waiters left theirs; collect them as the oldest.
    ASSERT_TRUE(LogCapture::waitUntil([&] { return thread.completed() == kWaiters / 2 * kEach; }));
    while (thread.waitForCompleted(nullptr, 0))
        ++taken;
    EXPECT_EQ(taken.load(), kWaiters * kEach);
    EXPECT_EQ(thread.completed(), 0);
    thread.stop();
    for (LumoMessage* m : messages)
        delete m;
}

TEST(LumoMessageThread, IdleRunsWhileNoMessageComes)
{
    RecordingThread thread;
    thread.setIdleTimeout(10);
    thread.start();
    ASSERT_TRUE(LogCapture::waitUntil([&] { return thread.idles() >= 3; }));
    thread.stop();
    EXPECT_TRUE(thread.hooksOnOwnThread());
}

// stop ends the loop after the message in hand; the rest stay pending and
// a new start handles them. Here the handler outlasts stop's wait.
TEST(LumoMessageThread, StopLeavesPendingMessagesForTheNextStart)
{
    CleanLogCapture capture;
    RecordingThread thread;
    thread.stop(); // never started: nothing, and nothing logged

    Gate gate;
    thread.gate = &gate;
    thread.setIdleTimeout(5);
    thread.start();
    LumoMessage a(1), b(2);
    thread.queue(&a);
    thread.queue(&b);
    ASSERT_TRUE(LogCapture::waitUntil([&] { return thread.inHandler.load(); }));
    thread.stop(); // the handler is held: the wait of 20 ms fails
    gate.open();
    ASSERT_TRUE(thread.wait(5000));
    EXPECT_EQ(thread.handled(), (std::vector<int>{1}));
    EXPECT_EQ(thread.pending(), 1);
    EXPECT_EQ(thread.completed(), 1);

    thread.setIdleTimeout(1000);
    thread.start();
    EXPECT_TRUE(thread.waitForCompleted(&b, 5000));
    EXPECT_EQ(thread.inits.load(), 2);

    // Started again while the thread of a failed stop is still held: the
    // old thread ends first, and a new one runs.
    Gate second;
    thread.gate = &second;
    thread.inHandler = false;
    LumoMessage c(3), d(4);
    thread.queue(&c);
    thread.queue(&d);
    ASSERT_TRUE(LogCapture::waitUntil([&] { return thread.inHandler.load(); }));
    thread.setIdleTimeout(5);
    thread.stop();
    std::thread release([&second] {
        QThread::msleep(30);
        second.open();
    });
    thread.setIdleTimeout(1000);
    thread.start();
    release.join();
    EXPECT_TRUE(thread.waitForCompleted(&d, 5000));
    EXPECT_EQ(thread.handled(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(thread.inits.load(), 3);
    thread.stop();
    EXPECT_EQ(thread.cleanups.load(), 3);
    ASSERT_TRUE(LogCapture::settle());
    const std::vector<SystemEntry> lines = LogCapture::systemFrom("lumomessagethread");
    ASSERT_EQ(lines.size(), 2u);
    for (SystemEntry const& line : lines) {
        EXPECT_EQ(line.msg, QByteArray("Wait for thread failed\n"));
        EXPECT_EQ(line.priority, LOG_WARNING);
    }
}

TEST(LumoMessageThread, DestroyedWhileRunningIsStoppedWithAWarning)
{
    CleanLogCapture capture;
    {
        LumoMessageThread thread;
        thread.start();
    }
    ASSERT_TRUE(LogCapture::settle());
    const std::vector<SystemEntry> lines = LogCapture::systemFrom("lumomessagethread");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].msg, QByteArray("LumoMessageThread not stopped before destruction\n"));
    EXPECT_EQ(lines[0].priority, LOG_WARNING);
}

// Holds its handler at a gate; all it uses lives outside it, as it does
// not stop the thread in its own destructor.
class HeldThread : public LumoMessageThread {
public:
    HeldThread(Gate* gate, std::atomic<bool>* inHandler) : _gate(gate), _inHandler(inHandler) {}

protected:
    void handleMessage(LumoMessage*) override
    {
        *_inHandler = true;
        _gate->pass();
    }

private:
    Gate* _gate;
    std::atomic<bool>* _inHandler;
};

// Destruction waits for a handler that outlasted stop rather than free the
// lists under it.
TEST(LumoMessageThread, DestructionWaitsForAHandlerThatOutlastsStop)
{
    CleanLogCapture capture;
    Gate gate;
    std::atomic<bool> inHandler{false};
    LumoMessage m(5);
    std::thread release;
    {
        HeldThread thread(&gate, &inHandler);
        thread.setIdleTimeout(5);
        thread.start();
        thread.queue(&m);
        ASSERT_TRUE(LogCapture::waitUntil([&] { return inHandler.load(); }));
        thread.stop();
        EXPECT_TRUE(thread.isRunning());
        release = std::thread([&gate] {
            QThread::msleep(50);
            gate.open();
        });
    }
    release.join();
    ASSERT_TRUE(LogCapture::settle());
    const std::vector<SystemEntry> lines = LogCapture::systemFrom("lumomessagethread");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].msg, QByteArray("Wait for thread failed\n"));
}

} // namespace
