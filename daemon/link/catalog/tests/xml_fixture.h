// Writes small description files into a temporary directory; collects what
// the readers print on the debug channel.
#ifndef CATALOG_TESTS_XML_FIXTURE_H
#define CATALOG_TESTS_XML_FIXTURE_H

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

class XmlFixture {
public:
    // Writes text to name (sub-directories are made) and returns the path.
    QString write(const QString& name, const QByteArray& text)
    {
        const QString path = _dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(text);
        return path;
    }
    QString path(const QString& name) const { return _dir.filePath(name); }
    QString root() const { return _dir.path(); }

private:
    QTemporaryDir _dir;
};

// The debug messages written while it lives, as they would print.
class DebugCapture {
public:
    DebugCapture()
    {
        Lines().clear();
        _previous = qInstallMessageHandler(&DebugCapture::Handle);
    }
    ~DebugCapture() { qInstallMessageHandler(_previous); }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    QStringList lines() const { return Lines(); }

private:
    static QStringList& Lines()
    {
        static QStringList lines;
        return lines;
    }
    static void Handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtDebugMsg)
            Lines() << message;
    }

    QtMessageHandler _previous;
};

#endif
