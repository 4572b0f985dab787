#include "lumo/lumobenchmark.h"

#include "lumobenchmark_p.h"
#include "lumosemlock_p.h"

#include <cstdio>

#include <QFile>

#include "lumo/lumolog.h"

namespace {

const QString kUnit = QStringLiteral("lumobenchmark");

std::atomic<LumoBenchmarkClock> gClock{&LumoTimeStamp::getCurrent};

} // namespace

void lumoBenchmarkSetClock(LumoBenchmarkClock clock)
{
    gClock = clock ? clock : &LumoTimeStamp::getCurrent;
}

LumoBenchmarkData::LumoBenchmarkData(QString const& name, double value)
    : time(gClock.load()()), name(name), value(value)
{
}

LumoBenchmark::LumoBenchmark() : QThread(nullptr), _running(false), _file(nullptr), _wakeUp(0)
{
    sem_init(&_queueLock, 0, 1);
}

LumoBenchmark::~LumoBenchmark()
{
    if (_running) {
        _running = false;
        if (!wait(5000)) {
            lumoLogOutput(1, kUnit, __LINE__, "Wait failed\n");
            // The thread is still writing and goes back to the queue after:
            // nothing it uses is freed before it has ended.
            wait();
        }
    }
    QList<LumoBenchmarkData*> left;
    {
        LumoSemLock lock(&_queueLock);
        left.swap(_queue);
    }
    qDeleteAll(left);
    sem_destroy(&_queueLock);
}

void LumoBenchmark::start(QString const& fileName)
{
    if (_running) {
        lumoLogOutput(1, kUnit, __LINE__, "Already running!\n");
        return;
    }
    _file = new QFile(fileName, this);
    if (!_file->open(QIODevice::WriteOnly)) {
        LumoLogStream(LumoLog::defaultLog(), kUnit, __LINE__, 1)
            << QStringLiteral("Failed to open benchmark file: %1").arg(fileName);
        delete _file;
        _file = nullptr;
        return;
    }
    _running = true;
    QThread::start(QThread::InheritPriority);
}

void LumoBenchmark::report(QString const& name, double value)
{
    LumoBenchmarkData* data = new LumoBenchmarkData(name, value);
    {
        LumoSemLock lock(&_queueLock);
        _queue.append(data);
    }
    _wakeUp.release();
}

void LumoBenchmark::run()
{
    while (_running) {
        _wakeUp.tryAcquire(1, 100);
        LumoBenchmarkData* data = nullptr;
        {
            LumoSemLock lock(&_queueLock);
            if (!_queue.isEmpty())
                data = _queue.takeFirst();
        }
        if (!data)
            continue;
        char line[256];
        const int length =
            snprintf(line, sizeof line, "%s %lf %lf\n", data->name.toLocal8Bit().constData(),
                     double(data->time.seconds) + double(data->time.microseconds) * 0.000001, data->value);
        if (length > 0) {
            _file->write(line, qMin(length, int(sizeof line) - 1));
            // Each line reaches the file as it is written, so a report can
            // be followed while the program runs and survives a crash.
            _file->flush();
        }
        delete data;
    }
}
