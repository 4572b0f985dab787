// Runs the Qt event loop until a condition holds or the wait ends.
#ifndef TOVIK_TEST_QTWAIT_H
#define TOVIK_TEST_QTWAIT_H

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

inline bool WaitFor(const std::function<bool()>& condition, int waitMs = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > waitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        // Outside exec() deferred deletes wait for an explicit send.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(2);
    }
    return true;
}

inline void Spin(int ms)
{
    WaitFor([] { return false; }, ms);
}

#endif
