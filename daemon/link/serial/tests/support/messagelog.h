// Collects Qt messages while alive.
#ifndef PORTVANE_TEST_MESSAGELOG_H
#define PORTVANE_TEST_MESSAGELOG_H

#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class MessageLog {
public:
    MessageLog()
    {
        Current() = this;
        _previous = qInstallMessageHandler(&MessageLog::Handle);
    }
    ~MessageLog()
    {
        qInstallMessageHandler(_previous);
        Current() = nullptr;
    }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    QStringList Lines() const
    {
        QMutexLocker locker(&_lock);
        return _lines;
    }
    QStringList Lines(QtMsgType type) const
    {
        QMutexLocker locker(&_lock);
        return _byType.value(type);
    }
    int Count(const QString& text) const
    {
        QMutexLocker locker(&_lock);
        int n = 0;
        for (const QString& line : _lines)
            n += line.contains(text) ? 1 : 0;
        return n;
    }
    bool Has(const QString& text) const { return Count(text) > 0; }
    void Clear()
    {
        QMutexLocker locker(&_lock);
        _lines.clear();
        _byType.clear();
    }

private:
    static MessageLog*& Current()
    {
        static MessageLog* current = nullptr;
        return current;
    }
    static void Handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        MessageLog* log = Current();
        if (!log)
            return;
        QMutexLocker locker(&log->_lock);
        log->_lines.append(message);
        log->_byType[type].append(message);
    }

    mutable QMutex _lock;
    QStringList _lines;
    QMap<QtMsgType, QStringList> _byType;
    QtMessageHandler _previous = nullptr;
};

#endif
