// Collects the Qt messages written while it lives, from any thread, as they
// would print, with the channel each went to; the handler (and the log)
// before it takes over again afterwards. The innermost log alone collects.
#ifndef TOVIK_TEST_MESSAGELOG_H
#define TOVIK_TEST_MESSAGELOG_H

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace tovik {
namespace test {

class MessageLog {
public:
    MessageLog()
    {
        QMutexLocker locker(&Mutex());
        _outer = Current();
        Current() = this;
        _previous = qInstallMessageHandler(&MessageLog::Handle);
    }
    ~MessageLog()
    {
        QMutexLocker locker(&Mutex());
        qInstallMessageHandler(_previous);
        Current() = _outer;
    }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    // Every message, or those of one channel, in order.
    QStringList Lines() const
    {
        QMutexLocker locker(&Mutex());
        QStringList lines;
        for (const auto& entry : _entries)
            lines.append(entry.second);
        return lines;
    }
    QStringList Lines(QtMsgType channel) const
    {
        QMutexLocker locker(&Mutex());
        QStringList lines;
        for (const auto& entry : _entries)
            if (entry.first == channel)
                lines.append(entry.second);
        return lines;
    }
    // Messages that hold text somewhere.
    int Count(const QString& text) const { return Lines().filter(text, Qt::CaseSensitive).size(); }
    bool Has(const QString& text) const { return Count(text) > 0; }
    // A message exactly as written, on any channel or on the given one.
    bool Contains(const QString& line) const { return Lines().contains(line); }
    bool Contains(QtMsgType channel, const QString& line) const { return Lines(channel).contains(line); }
    void Clear()
    {
        QMutexLocker locker(&Mutex());
        _entries.clear();
    }

private:
    static MessageLog*& Current()
    {
        static MessageLog* current = nullptr;
        return current;
    }
    static QMutex& Mutex()
    {
        static QMutex mutex;
        return mutex;
    }
    static void Handle(QtMsgType channel, const QMessageLogContext&, const QString& message)
    {
        QMutexLocker locker(&Mutex());
        if (Current())
            Current()->_entries.append(qMakePair(channel, message));
    }

    QList<QPair<QtMsgType, QString>> _entries;
    QtMessageHandler _previous = nullptr;
    MessageLog* _outer = nullptr;
};

} // namespace test
} // namespace tovik

#endif
