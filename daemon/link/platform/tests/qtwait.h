// Runs the Qt event loop until a condition holds or the wait ends.
#ifndef PORTVANE_TEST_QTWAIT_H
#define PORTVANE_TEST_QTWAIT_H

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
        QThread::msleep(5);
    }
    return true;
}

// Keeps the event loop running for a while.
inline void Spin(int ms)
{
    WaitFor([] { return false; }, ms);
}

#endif
