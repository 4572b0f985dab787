// The worker thread of a stream: every engine call of the stream runs here,
// one task at a time in queue order. Finished tasks wait in the output list
// until the stream collects them on its own thread after taskDone().
#ifndef LUMO_LUMOSTREAMWORKER_P_H
#define LUMO_LUMOSTREAMWORKER_P_H

#include <semaphore.h>

#include <atomic>

#include <QList>
#include <QPointer>
#include <QSemaphore>
#include <QThread>
#include <QVariant>

#include "lumo/lumoframe.h"
#include "lumo/lumoglobal.h"
#include "lumo/lumostreamengine.h"
#include "lumo/lumotimestamp.h"

class LUMO_AUTOTEST_EXPORT LumoStreamWorkerTask {
public:
    enum Kind { Open = 0, Close = 1, Read = 2, Write = 3, Flush = 4 };

    LumoStreamWorkerTask(LumoStreamEngine* engine, int kind) : engine(engine), kind(kind) {}

    // Runs the task against its engine, timing the call. A task whose
    // engine is gone calls nothing and fails with ENODEV.
    void process();
    // The entries a read leaves on its frame: stream information, frame
    // number, start and end of stream (both counted from 0).
    void updateFrameMetadata(int fnum, LumoFrame& frame);

    QPointer<LumoStreamEngine> engine;
    qint32 kind;
    qint32 mode = 0;
    qint32 fnum = 0;
    void* pdata = nullptr; // the application's; carried, never dereferenced
    QVariant desc;
    LumoError error = 0;
    LumoFrame frame;
    LumoStreamInfo info;
    LumoTimeStamp elapsed;
    // Set on the close that disposes of an engine the stream no longer
    // shows (left behind by a failed open): it is not reported.
    bool silent = false;
};

class LUMO_AUTOTEST_EXPORT LumoStreamWorker : public QThread {
    Q_OBJECT
public:
    // The thread starts at once; the worker object moves to it. The
    // argument is not used.
    explicit LumoStreamWorker(QObject* parent = nullptr);
    // Tasks still queued are dropped, except close tasks, which run so
    // that their engines are closed here. Waits for the thread to end.
    ~LumoStreamWorker() override;

    // Owns the task from here on. Refused (logged, deleted) during
    // destruction.
    void queueTask(LumoStreamWorkerTask* task);
    // Drops every queued and every finished, uncollected task (queued
    // close tasks still run); blocks until the worker thread has done so,
    // including the rest of an engine call in progress.
    void clear();

    // The queued tasks, counted under the input lock.
    int queuedCount();
    // The oldest finished task, or null.
    LumoStreamWorkerTask* takeFinished();

    bool clearRequested() const { return _clearRequested.load(); }
    // False once destruction has begun.
    bool acceptsTasks() const { return _running.load(); }

signals:
    void taskDone();

protected:
    void run() override;

private:
    void flushFifos();

    std::atomic<bool> _running;
    std::atomic<bool> _clearRequested;
    QSemaphore _wakeUp;
    sem_t _inputLock;
    QList<LumoStreamWorkerTask*> _input;
    sem_t _outputLock;
    QList<LumoStreamWorkerTask*> _output;
};

#endif
