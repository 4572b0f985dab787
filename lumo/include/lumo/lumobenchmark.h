// Named measurements written to a text file by a thread of their own, one
// line per measurement in report order: the name, the report time in
// seconds and the value, e.g. "decode 12.500000 3.250000".
#ifndef LUMO_LUMOBENCHMARK_H
#define LUMO_LUMOBENCHMARK_H

#include <semaphore.h>

#include <atomic>

#include <QList>
#include <QSemaphore>
#include <QString>
#include <QThread>

#include "lumo/lumoglobal.h"
#include "lumo/lumotimestamp.h"

class QFile;

// One reported measurement; the time is taken when it is made.
class LUMO_EXPORT LumoBenchmarkData {
public:
    LumoBenchmarkData(QString const& name, double value);

    LumoTimeStamp time;
    QString name;
    double value;
};

class LUMO_EXPORT LumoBenchmark : private QThread {
public:
    LumoBenchmark();
    // Stops the thread; measurements it has not reached are dropped. A
    // thread that has not ended within 5 s is reported and then waited for.
    ~LumoBenchmark() override;

    // Opens (truncates) the file and starts the thread. A benchmark runs
    // once: a second start is refused with a log line. After a failed
    // open it may be tried again.
    void start(QString const& fileName);
    // Any thread, at any time; before a successful start the measurement
    // waits in the queue.
    void report(QString const& name, double value);

protected:
    void run() override;

private:
    std::atomic<bool> _running;
    QFile* _file;
    QSemaphore _wakeUp;
    sem_t _queueLock;
    QList<LumoBenchmarkData*> _queue;
};

#endif
