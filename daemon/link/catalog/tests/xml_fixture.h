// Writes small description files into a temporary directory.
#ifndef CATALOG_TESTS_XML_FIXTURE_H
#define CATALOG_TESTS_XML_FIXTURE_H

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

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

#endif
