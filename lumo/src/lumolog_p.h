// The log's writer thread, its queued line record and the sinks that the
// writer hands console and system-log output to (tests replace them).
#ifndef LUMO_LUMOLOG_P_H
#define LUMO_LUMOLOG_P_H

#include <semaphore.h>
#include <sys/types.h>

#include <atomic>

#include <QByteArray>
#include <QList>
#include <QSemaphore>
#include <QString>
#include <QThread>

#include "lumo/lumoglobal.h"

class QFile;

// One queued item: made by the front end, owned by the queue once handed
// over, deleted by the writer.
struct LumoLogLine {
    enum Command { Write = 0, Open = 1 };

    bool display = false;
    int level = 0;
    int line = 0;     // source line; 0 means none
    int thread = 0;   // kernel thread id of the maker
    int command = Write;
    qint64 time = 0;  // when the line was made, ms since the epoch; written as local time
    QString file;     // source name, or the path to open
    QString function; // always empty in this library
    QString msg;
};

class LumoLogPrivate : public QThread {
    Q_OBJECT
public:
    LumoLogPrivate();
    // Stops the thread; lines queued before are written first. A thread
    // that has not ended within 2000 ms is reported and then waited for.
    ~LumoLogPrivate() override;

    // The process whose thread this is.
    pid_t process() const { return _process; }

public slots:
    // Runs on the caller's thread: queues the line, owned from here on.
    void log(LumoLogLine* line);
    void setOutputFile(QString const& fname);

protected:
    void run() override;

private:
    // True when it wrote (or opened) anything.
    bool drain();
    bool queueEmpty();
    QByteArray const& timeText(qint64 second);
    void open(LumoLogLine* line);
    void write(LumoLogLine* line);

    std::atomic<bool> _running;
    std::atomic<bool> _idle; // asleep until a caller wakes it
    QFile* _file;
    QSemaphore _wake;
    sem_t _queueLock;
    QList<LumoLogLine*> _queue;
    // "MMM dd hh:mm:ss" of the last second written, and that second.
    qint64 _stampSecond;
    QByteArray _stampText;
    pid_t _process;
};

// Kernel thread id of the calling thread (kept per thread, renewed in a
// forked child).
int lumoCurrentThreadId();

// Where the writer sends what does not go to the log file. The console
// sink gets the whole coloured line; the system-log sink the priority, the
// prefix and the message (it formats them as "%s %s").
struct LumoLogSinks {
    void (*console)(QByteArray const& text);
    void (*system)(int priority, QByteArray const& prefix, QByteArray const& msg);
};

// Replaces the sinks of every log in the process; null restores standard
// output and syslog.
LUMO_AUTOTEST_EXPORT void lumoLogSetSinks(LumoLogSinks const* sinks);

#endif
