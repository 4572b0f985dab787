#include "lumo/lumolog.h"

#include "lumolog_p.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <syslog.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QGlobalStatic>
#include <QLocale>

#include "lumo/lumo.h"

namespace {

struct LevelStyle {
    char const* letter;
    char const* colour;
    int priority;
};

// Levels 0 to 4; every other level is written like a debug line.
const LevelStyle kLevelStyles[] = {
    {"C", "\x1b[7;31m", LOG_CRIT},
    {"E", "\x1b[1;31m", LOG_ERR},
    {"W", "\x1b[1;33m", LOG_WARNING},
    {"I", "\x1b[0;37m", LOG_INFO},
    {"D", "\x1b[1;36m", LOG_DEBUG},
};

const LevelStyle& styleOf(int level)
{
    return kLevelStyles[level >= 0 && level < 4 ? level : 4];
}

void consoleToStdout(QByteArray const& text)
{
    fwrite(text.constData(), 1, size_t(text.size()), stdout);
    fflush(stdout);
}

void systemToSyslog(int priority, QByteArray const& prefix, QByteArray const& msg)
{
    syslog(priority, "%s %s", prefix.constData(), msg.constData());
}

std::atomic<void (*)(QByteArray const&)> gConsoleSink{consoleToStdout};
std::atomic<void (*)(int, QByteArray const&, QByteArray const&)> gSystemSink{systemToSyslog};

// RAII hold of the queue lock (a process-private semaphore of count 1).
class QueueLock {
public:
    explicit QueueLock(sem_t* sem) : _sem(sem)
    {
        // Holders keep it for a few instructions: spin a little before
        // sleeping, since a sleeping caller waits for the scheduler.
        for (int spin = 0; spin < 200; ++spin)
            if (sem_trywait(_sem) == 0)
                return;
        while (sem_wait(_sem) != 0) {
        }
    }
    ~QueueLock() { sem_post(_sem); }

private:
    sem_t* _sem;
};

Q_GLOBAL_STATIC(LumoLog, gDefaultLog)

// The writer looks at the queue every millisecond while lines come, and
// sleeps (until woken, or 250 ms) after 10 quiet turns.
const int kBusyWaitMs = 1;
const int kIdleWaitMs = 250;
const int kQuietTurnsBeforeSleep = 10;

// A forked child's copy of a writer whose thread stayed in the parent;
// kept reachable until the process ends.
LumoLogPrivate* gOrphanedWriter = nullptr;

// Bumped in every forked child, whose threads have new ids.
std::atomic<int> gForkGeneration{0};
[[maybe_unused]] const int gAtFork = pthread_atfork(nullptr, nullptr, [] { ++gForkGeneration; });
} // namespace

int lumoCurrentThreadId()
{
    thread_local int generation = -1;
    thread_local int id = 0;
    const int now = gForkGeneration.load(std::memory_order_relaxed);
    if (generation != now) {
        id = int(syscall(SYS_gettid));
        generation = now;
    }
    return id;
}

void lumoLogSetSinks(LumoLogSinks const* sinks)
{
    gConsoleSink = sinks && sinks->console ? sinks->console : consoleToStdout;
    gSystemSink = sinks && sinks->system ? sinks->system : systemToSyslog;
}

// --- writer -----------------------------------------------------------------

LumoLogPrivate::LumoLogPrivate()
    : _running(true), _idle(false), _file(nullptr), _wake(0), _stampSecond(-1), _process(getpid())
{
    sem_init(&_queueLock, 0, 1);
    // Qt's own globals that writing uses (the calendar behind the time
    // text, the locale's codec) made before the thread starts: a log that is
    // itself a global (the default log) is then destroyed before them at
    // the process's end, and its last lines can still be written.
    timeText(QDateTime::currentSecsSinceEpoch());
    (void)QStringLiteral(" ").toLocal8Bit();
    start(QThread::InheritPriority);
    moveToThread(this);
}

LumoLogPrivate::~LumoLogPrivate()
{
    _running = false;
    _wake.release(1000);
    if (!wait(2000)) {
        fputs("LumoLogPrivate thread wait failed!\n", stderr);
        wait();
    }
    // Lines queued after the writer's last look (a race with shutdown).
    qDeleteAll(_queue);
    _queue.clear();
    sem_destroy(&_queueLock);
}

void LumoLogPrivate::log(LumoLogLine* line)
{
    {
        QueueLock lock(&_queueLock);
        _queue.append(line);
    }
    // Only a writer that has gone to sleep needs waking; a busy one looks
    // at the queue every millisecond. Waking costs the caller a system call
    // and often a switch to the writer, so callers in a stream of lines
    // never pay it.
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (_idle.load() && _idle.exchange(false))
        _wake.release(1);
}

void LumoLogPrivate::setOutputFile(QString const& fname)
{
    LumoLogLine* line = new LumoLogLine;
    line->thread = lumoCurrentThreadId();
    line->command = LumoLogLine::Open;
    line->time = QDateTime::currentMSecsSinceEpoch();
    line->file = fname;
    log(line);
}

void LumoLogPrivate::run()
{
    Lumo::setCurrentThreadName(QStringLiteral("LumoLog"));
    int quietTurns = 0;
    while (_running) {
        // A wake-up drains everything queued, so spare counts only cost
        // empty turns: take them all at once.
        if (_wake.tryAcquire(1, _idle.load() ? kIdleWaitMs : kBusyWaitMs))
            _wake.tryAcquire(_wake.available());
        if (drain()) {
            quietTurns = 0;
        } else if (!_idle.load() && ++quietTurns >= kQuietTurnsBeforeSleep) {
            // Sleep until a caller wakes us. A line queued while going to
            // sleep is seen here, or its caller sees the flag and wakes us.
            _idle = true;
            std::atomic_thread_fence(std::memory_order_seq_cst);
            if (!queueEmpty())
                _idle = false;
            quietTurns = 0;
        }
    }
    // Lines queued before the stop are written, not dropped.
    drain();
    delete _file;
    _file = nullptr;
}

bool LumoLogPrivate::queueEmpty()
{
    QueueLock lock(&_queueLock);
    return _queue.isEmpty();
}

bool LumoLogPrivate::drain()
{
    bool wrote = false;
    for (;;) {
        QList<LumoLogLine*> batch;
        {
            QueueLock lock(&_queueLock);
            batch.swap(_queue);
        }
        if (batch.isEmpty())
            return wrote;
        wrote = true;
        for (LumoLogLine* line : batch) {
            if (line->command == LumoLogLine::Write)
                write(line);
            else if (line->command == LumoLogLine::Open)
                open(line);
            delete line;
        }
    }
}

void LumoLogPrivate::open(LumoLogLine* line)
{
    delete _file;
    // Unbuffered: each line is one write, so it is in the file at once.
    _file = new QFile(line->file);
    if (!_file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        delete _file;
        _file = nullptr;
    }
}

QByteArray const& LumoLogPrivate::timeText(qint64 second)
{
    // Local time with English month names whatever the machine's locale,
    // formatted once per second.
    if (second != _stampSecond) {
        _stampSecond = second;
        _stampText = QLocale::c()
                         .toString(QDateTime::fromMSecsSinceEpoch(second * 1000, Qt::LocalTime),
                                   QStringLiteral("MMM dd hh:mm:ss"))
                         .toLatin1();
    }
    return _stampText;
}

void LumoLogPrivate::write(LumoLogLine* line)
{
    const LevelStyle& style = styleOf(line->level);
    qint64 second = line->time / 1000;
    if (line->time < 0 && line->time % 1000)
        --second;
    const int millis = int(line->time - second * 1000);
    const char fraction[5] = {'.', char('0' + millis / 100), char('0' + millis / 10 % 10), char('0' + millis % 10), 0};
    const QByteArray time = timeText(second) + fraction;

    // "<letter> <function>[<thread>]< [file:line]>:"
    QString prefix = QLatin1String(style.letter) + QLatin1Char(' ') + line->function + QLatin1Char('[') +
                     QString::number(line->thread) + QLatin1Char(']');
    if (line->line != 0)
        prefix += QLatin1String(" [") + line->file + QLatin1Char(':') + QString::number(line->line) +
                  QLatin1Char(']');
    prefix += QLatin1Char(':');

    if (line->display)
        gConsoleSink.load()(time + ' ' + prefix.toLocal8Bit() + ' ' + style.colour + line->msg.toLocal8Bit() +
                            "\x1b[0m");
    if (_file) {
        _file->write(time + ' ' + prefix.toLocal8Bit() + ' ' + line->msg.toLocal8Bit());
        _file->flush();
    } else {
        gSystemSink.load()(style.priority, prefix.toLatin1(), line->msg.toLatin1());
    }
}

// --- front end ----------------------------------------------------------------

LumoLog::LumoLog(QObject* parent) : QObject(parent), _writer(nullptr), _threshold(3), _display(false)
{
    init();
}

LumoLog::LumoLog(QString const& fileName, QObject* parent) : LumoLog(parent)
{
    setOutputFile(fileName);
}

LumoLog::~LumoLog()
{
    // A forked child has a copy of the writer but not its thread: there is
    // nothing to stop, and the copy is left to the process's end.
    if (_writer->process() == getpid())
        delete _writer;
    else
        gOrphanedWriter = _writer;
}

void LumoLog::init()
{
    _display = false;
    _threshold = 3;
    _writer = new LumoLogPrivate;
}

LumoLog* LumoLog::defaultLog()
{
    return gDefaultLog();
}

void LumoLog::crit(QString const& msg) { output(0, QString(), 0, msg); }
void LumoLog::err(QString const& msg) { output(1, QString(), 0, msg); }
void LumoLog::warn(QString const& msg) { output(2, QString(), 0, msg); }
void LumoLog::info(QString const& msg) { output(3, QString(), 0, msg); }
void LumoLog::debug(QString const& msg) { output(4, QString(), 0, msg); }

void LumoLog::output(int level, QString const& file, int line, QString const& msg)
{
    if (level > _threshold.load(std::memory_order_relaxed))
        return;
    LumoLogLine* item = new LumoLogLine;
    item->display = _display.load(std::memory_order_relaxed);
    item->level = level;
    item->line = line;
    item->thread = lumoCurrentThreadId();
    item->time = QDateTime::currentMSecsSinceEpoch();
    item->file = file;
    item->msg = msg;
    _writer->log(item);
}

void LumoLog::setOutputFile(QString const& fname)
{
    static const QString origin = QStringLiteral("$ORIGIN");
    QString path = fname;
    if (path.contains(origin))
        path.replace(origin, QCoreApplication::applicationDirPath());
    _writer->setOutputFile(path);
}

void LumoLog::setLevel(int level) { _threshold = level; }
void LumoLog::setDisplay(bool val) { _display = val; }

LumoLogStream::~LumoLogStream()
{
    if (!_log)
        return;
    flush();
    _text += QLatin1Char('\n');
    _log->output(_level, _file, _line, _text);
    _text.clear();
}

// --- free functions on the default log -------------------------------------------

void lumoLogOutput(int level, QString const& file, int line, char const* format, ...)
{
    LumoLog* log = LumoLog::defaultLog();
    // A dropped line is not formatted at all.
    if (!log || level > log->level())
        return;
    char buffer[512];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    log->output(level, file, line, QString::fromLatin1(buffer));
}

void lumoLogOpenDisplay()
{
    if (LumoLog* log = LumoLog::defaultLog())
        log->setDisplay(true);
}

void lumoLogOpenFile(QString const& fname)
{
    if (LumoLog* log = LumoLog::defaultLog())
        log->setOutputFile(fname);
}

void lumoLogSetLevel(int level)
{
    if (LumoLog* log = LumoLog::defaultLog())
        log->setLevel(level);
}

int lumoLogGetLevel()
{
    LumoLog* log = LumoLog::defaultLog();
    return log ? log->level() : 3;
}
