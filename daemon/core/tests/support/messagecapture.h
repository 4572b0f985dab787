// Collects the Qt messages written while it lives, as they would print.
#ifndef PORTVANE_CORE_TEST_MESSAGECAPTURE_H
#define PORTVANE_CORE_TEST_MESSAGECAPTURE_H

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class MessageCapture {
public:
    MessageCapture()
    {
        Lines().clear();
        _previous = qInstallMessageHandler(&MessageCapture::Handler);
    }
    ~MessageCapture() { qInstallMessageHandler(_previous); }

    QStringList Messages() const
    {
        QMutexLocker lock(&Mutex());
        return Lines();
    }
    bool Contains(const QString& line) const { return Messages().contains(line); }

private:
    static QStringList& Lines()
    {
        static QStringList lines;
        return lines;
    }
    static QMutex& Mutex()
    {
        static QMutex mutex;
        return mutex;
    }
    static void Handler(QtMsgType, const QMessageLogContext&, const QString& text)
    {
        QMutexLocker lock(&Mutex());
        Lines().append(text);
    }

    QtMessageHandler _previous;
};

#endif
