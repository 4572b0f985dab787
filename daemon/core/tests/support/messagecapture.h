// Collects the Qt messages written while it lives, as they would print,
// with the channel each went to.
#ifndef PORTVANE_CORE_TEST_MESSAGECAPTURE_H
#define PORTVANE_CORE_TEST_MESSAGECAPTURE_H

#include <QList>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class MessageCapture {
public:
    MessageCapture()
    {
        QMutexLocker lock(&Mutex());
        Lines().clear();
        _previous = qInstallMessageHandler(&MessageCapture::Handler);
    }
    ~MessageCapture() { qInstallMessageHandler(_previous); }

    QStringList Messages() const
    {
        QStringList texts;
        for (const auto& line : Lines_())
            texts.append(line.second);
        return texts;
    }
    // The text as written on any channel.
    bool Contains(const QString& line) const { return Messages().contains(line); }
    // The text as written on the given channel.
    bool Contains(QtMsgType channel, const QString& line) const
    {
        return Lines_().contains(qMakePair(int(channel), line));
    }
    int Count(const QString& line) const { return Messages().count(line); }

private:
    typedef QList<QPair<int, QString>> LineList;

    static LineList& Lines()
    {
        static LineList lines;
        return lines;
    }
    static QMutex& Mutex()
    {
        static QMutex mutex;
        return mutex;
    }
    static LineList Lines_()
    {
        QMutexLocker lock(&Mutex());
        return Lines();
    }
    static void Handler(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        QMutexLocker lock(&Mutex());
        Lines().append(qMakePair(int(type), text));
    }

    QtMessageHandler _previous;
};

#endif
