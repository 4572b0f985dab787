#include "lumo/lumolog.h"

#include "lumolog_p.h"

#include <sys/syscall.h>
#include <syslog.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>

#include <QCoreApplication>
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
        while (sem_wait(_sem) != 0) {
        }
    }
    ~QueueLock() { sem_post(_sem); }

private:
    sem_t* _sem;
};

Q_GLOBAL_STATIC(LumoLog, gDefaultLog)

} // namespace

int lumoCurrentThreadId()
{
    return int(syscall(SYS_gettid));
}

void lumoLogSetSinks(LumoLogSinks const* sinks)
{
    gConsoleSink = sinks && sinks->console ? sinks->console : consoleToStdout;
    gSystemSink = sinks && sinks->system ? sinks->system : systemToSyslog;
}

// --- writer -----------------------------------------------------------------

LumoLogPrivate::LumoLogPrivate() : _running(true), _file(nullptr), _wake(0)
{
    sem_init(&_queueLock, 0, 1);
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
    _wake.release(1);
}

void LumoLogPrivate::setOutputFile(QString const& fname)
{
    LumoLogLine* line = new LumoLogLine;
    line->thread = lumoCurrentThreadId();
    line->command = LumoLogLine::Open;
    line->time = QDateTime::currentDateTime();
    line->file = fname;
    log(line);
}

void LumoLogPrivate::run()
{
    Lumo::setCurrentThreadName(QStringLiteral("LumoLog"));
    while (_running) {
        // A wake-up drains everything queued, so spare counts only cost
        // empty turns: take them all at once.
        if (_wake.tryAcquire(1, 250))
            _wake.tryAcquire(_wake.available());
        drain();
    }
    // Lines queued before the stop are written, not dropped.
    drain();
    _stream.setDevice(nullptr);
    delete _file;
    _file = nullptr;
}

void LumoLogPrivate::drain()
{
    for (;;) {
        QList<LumoLogLine*> batch;
        {
            QueueLock lock(&_queueLock);
            batch.swap(_queue);
        }
        if (batch.isEmpty())
            return;
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
    _stream.setDevice(nullptr);
    delete _file;
    _file = new QFile(line->file);
    if (!_file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        delete _file;
        _file = nullptr;
    }
    _stream.setDevice(_file);
}

void LumoLogPrivate::write(LumoLogLine* line)
{
    static const QLocale c = QLocale::c();
    static const QString timeFormat = QStringLiteral("MMM dd hh:mm:ss.zzz");
    const LevelStyle& style = styleOf(line->level);
    const QString time = c.toString(line->time, timeFormat);

    QString prefix = QLatin1String(style.letter) + QLatin1Char(' ') + line->function + QLatin1Char('[') +
                     QString::number(line->thread) + QLatin1Char(']');
    if (line->line != 0)
        prefix += QLatin1String(" [") + line->file + QLatin1Char(':') + QString::number(line->line) +
                  QLatin1Char(']');
    prefix += QLatin1Char(':');

    if (line->display) {
        const QByteArray text = time.toLocal8Bit() + ' ' + prefix.toLocal8Bit() + ' ' + style.colour +
                                line->msg.toLocal8Bit() + "\x1b[0m";
        gConsoleSink.load()(text);
    }
    if (_file) {
        _stream << time << ' ' << prefix << ' ' << line->msg;
        _stream.flush();
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
    delete _writer;
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
    item->time = QDateTime::currentDateTime();
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
