// The stream front end: reads frames from, or writes frames to, a source or
// sink through an engine made for its description or stream type. Every
// request becomes a task for the stream's own worker thread and returns at
// once; the outcome comes back as a signal on the stream's thread, which
// must run a Qt event loop. Only sync() blocks.
#ifndef LUMO_LUMOSTREAM_H
#define LUMO_LUMOSTREAM_H

#include <QObject>
#include <QVariant>

#include "lumo/lumoframe.h"
#include "lumo/lumoglobal.h"
#include "lumo/lumoid.h"
#include "lumo/lumostreamengine.h"
#include "lumo/lumotimestamp.h"

class LumoStreamWorker;
class LumoStreamWorkerTask;

class LUMO_EXPORT LumoStream : public QObject {
    Q_OBJECT
public:
    enum State { Closed = 0, Open = 1, Opening = 2, Closing = 3 };

    explicit LumoStream(QObject* parent = nullptr);
    // Closes the engine on the worker thread and ends the thread; nothing
    // is signalled during destruction.
    ~LumoStream() override;

    // Tasks waiting for the worker; the running one is not counted.
    int pending() const;
    // Equal descriptions; of user types only play lists compare (entry by
    // entry).
    bool hasDesc(QVariant const& desc) const;
    // Shared with the stream; read-only so that reading does not copy.
    LumoStreamInfo const info() const { return _info; }
    // The mode of the last open that succeeded; 0 otherwise.
    int mode() const { return _mode; }
    int state() const { return _state; }

signals:
    void openIsDone(int mode, LumoError const& error);
    void closeIsDone();
    void readIsDone(int fnum, LumoFrame const& frame, LumoError const& error, void* pdata);
    void writeIsDone(int fnum, LumoError const& error, void* pdata);
    void flushDone(LumoError const& error);
    // After each of the above when enabled: the task kind (0 open, 1 close,
    // 2 read, 3 write, 4 flush) and how long the engine call took.
    void benchmark(int id, LumoTimeStamp const& ts);

public slots:
    void setDesc(QVariant const& desc);
    void setType(LumoId const& id);
    // The next open chooses the engine by the description.
    void setAutoType();
    // Handed to the engine by an open in a mode other than 1, and carried
    // by every later read and write.
    void setInfo(LumoStreamInfo const& info);
    void setBenchmarkEnable(bool val);
    // Drops every queued and every finished, unreported task (a queued
    // close still runs); blocks until the worker has done so.
    void sync();
    void flush();
    // Closes any current engine, has a new one made and queues its open;
    // false when no engine could be made.
    bool open(int mode);
    void close();
    void read(int fnum, void* pdata = nullptr);
    void write(int fnum, LumoFrame const& frame, void* pdata = nullptr);

private slots:
    void taskDone();

private:
    void findEngine();
    void processTask(LumoStreamWorkerTask* task);
    LumoStreamWorkerTask* makeTask(int kind) const;
    // A read or write task: frame number, user pointer and the information.
    LumoStreamWorkerTask* frameTask(int kind, int fnum, void* pdata) const;
    // Queues a silent close for an engine that a failed open left behind.
    void disposeFailedEngine();

    LumoStreamEngine* _engine;
    LumoStreamWorker* _worker;
    qint32 _mode;
    bool _benchmark;
    qint32 _state;
    QVariant _desc;
    LumoStreamInfo _info;
    LumoId _type;
};

#endif
