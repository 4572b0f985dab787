#include "lumo/lumomessagethread.h"

#include <climits>

#include <QMutexLocker>

#include "lumo/lumo.h"
#include "lumo/lumolog.h"

namespace {
const QString kUnit = QStringLiteral("lumomessagethread");
}

LumoMessage::LumoMessage(int id) : _id(id) {}

LumoMessage::~LumoMessage() = default;

LumoMessageThread::LumoMessageThread() : QThread(nullptr), _running(false), _idleTimeout(250) {}

LumoMessageThread::~LumoMessageThread()
{
    if (_running) {
        lumoLogOutput(2, kUnit, __LINE__, "LumoMessageThread not stopped before destruction\n");
        stop();
    }
    // A handler that outlasted stop's wait still uses the lists.
    wait();
}

void LumoMessageThread::start()
{
    if (_running)
        return;
    // A thread that outlasted the last stop is still winding down: it ends
    // first, or this start would find it running and start nothing.
    wait();
    _running = true;
    QThread::start(QThread::InheritPriority);
    moveToThread(this);
}

void LumoMessageThread::stop()
{
    if (!_running)
        return;
    _running = false;
    // Wakes a thread waiting for a message: it notices the flag at once
    // rather than at the end of its idle timeout. The turn that takes
    // this count finds no message and calls no idle().
    _pendingSemaphore.release();
    const int idleTimeout = _idleTimeout;
    const unsigned long bound = idleTimeout < 0 ? ULONG_MAX : 4ul * unsigned(idleTimeout);
    if (!wait(bound))
        lumoLogOutput(2, kUnit, __LINE__, "Wait for thread failed\n");
}

void LumoMessageThread::setIdleTimeout(int ms)
{
    _idleTimeout = ms;
}

void LumoMessageThread::queue(LumoMessage* message)
{
    if (!message)
        return;
    QMutexLocker lock(&_pendingMutex);
    _pending.append(message);
    _pendingSemaphore.release();
}

void LumoMessageThread::queueAndWait(LumoMessage* message)
{
    if (!message)
        return;
    queue(message);
    waitForCompleted(message, -1);
}

bool LumoMessageThread::waitForCompleted(LumoMessage* message, int timeout)
{
    QMutexLocker lock(&_completedMutex);
    while (!takeCompleted(message)) {
        if (!_completedCondition.wait(&_completedMutex, timeout < 0 ? ULONG_MAX : static_cast<unsigned long>(timeout)))
            return false;
    }
    return true;
}

bool LumoMessageThread::removeCompleted(LumoMessage* message)
{
    QMutexLocker lock(&_completedMutex);
    return takeCompleted(message);
}

bool LumoMessageThread::takeCompleted(LumoMessage* message)
{
    if (!message) {
        if (_completed.isEmpty())
            return false;
        _completed.removeFirst();
        return true;
    }
    return _completed.removeOne(message);
}

int LumoMessageThread::pending() const
{
    QMutexLocker lock(&_pendingMutex);
    return _pending.size();
}

int LumoMessageThread::completed() const
{
    QMutexLocker lock(&_completedMutex);
    return _completed.size();
}

LumoMessage* LumoMessageThread::popNextMessage()
{
    QMutexLocker lock(&_pendingMutex);
    return _pending.isEmpty() ? nullptr : _pending.takeFirst();
}

void LumoMessageThread::pushCompletedMessage(LumoMessage* message)
{
    QMutexLocker lock(&_completedMutex);
    _completed.append(message);
    _completedCondition.wakeAll();
}

void LumoMessageThread::run()
{
    Lumo::setCurrentThreadName(QStringLiteral("LumoMessageThread"));
    init();
    while (_running) {
        if (!_pendingSemaphore.tryAcquire(1, _idleTimeout))
            idle();
        if (!_running)
            continue;
        while (LumoMessage* message = popNextMessage()) {
            handleMessage(message);
            pushCompletedMessage(message);
            if (!_running)
                break;
        }
    }
    cleanup();
}

void LumoMessageThread::init() {}

void LumoMessageThread::cleanup() {}

void LumoMessageThread::idle() {}

void LumoMessageThread::handleMessage(LumoMessage*) {}
