// The library's log. Callers hand over a line and return at once; a writer
// thread of the log's own writes it to the console when display is on, and
// then to the log file when one is open, else to the system log.
//
// Levels: 0 critical, 1 error, 2 warning, 3 information, 4 debug. A line
// passes when its level is at most the threshold (default 3).
#ifndef LUMO_LUMOLOG_H
#define LUMO_LUMOLOG_H

#include <atomic>

#include <QObject>
#include <QString>
#include <QTextStream>

#include "lumo/lumoglobal.h"

class LumoLogPrivate;

class LUMO_EXPORT LumoLog : public QObject {
    Q_OBJECT
public:
    explicit LumoLog(QObject* parent = nullptr);
    explicit LumoLog(QString const& fileName, QObject* parent = nullptr);
    // Lines handed over before destruction are written first.
    ~LumoLog() override;

    // The process-wide log; its writer starts with the first call. Null
    // once it has been destroyed at process exit.
    static LumoLog* defaultLog();

    int level() const { return _threshold.load(std::memory_order_relaxed); }

public slots:
    void crit(QString const& msg);
    void err(QString const& msg);
    void warn(QString const& msg);
    void info(QString const& msg);
    void debug(QString const& msg);
    // A line number of 0 means none; the writer adds no line end of its own.
    void output(int level, QString const& file, int line, QString const& msg);
    // "$ORIGIN" stands for the program's directory. A file that cannot be
    // opened leaves the log without a file: later lines go to the system log.
    void setOutputFile(QString const& fname);
    void setLevel(int level);
    void setDisplay(bool val);

private:
    void init();

    LumoLogPrivate* _writer;
    std::atomic<int> _threshold;
    std::atomic<bool> _display;
};

// Collects text with the stream operators and hands it, with one "\n"
// added, to the log when destroyed. A null log sends nothing.
class LUMO_EXPORT LumoLogStream : public QTextStream {
public:
    LumoLogStream(LumoLog* log, QString const& file, int line, int level)
        : _log(log), _file(file), _line(line), _level(level)
    {
        setString(&_text, QIODevice::WriteOnly);
    }
    ~LumoLogStream() override;

private:
    LumoLog* _log;
    QString _file;
    int _line;
    int _level;
    QString _text;
};

// The default log. lumoLogOutput formats with printf rules; text longer
// than 511 characters is cut there.
LUMO_EXPORT void lumoLogOutput(int level, QString const& file, int line, char const* format, ...)
    __attribute__((format(printf, 4, 5)));
LUMO_EXPORT void lumoLogOpenDisplay();
LUMO_EXPORT void lumoLogOpenFile(QString const& fname);
LUMO_EXPORT void lumoLogSetLevel(int level);
LUMO_EXPORT int lumoLogGetLevel();

#endif
