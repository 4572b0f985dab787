#include "catalog/descriptionpaths.h"

#include "catalog/logonce.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace DescriptionPaths {

namespace {

// The path with links resolved as far as it exists; the part that does not
// exist yet is appended as named.
QString Resolved(const QString& path)
{
    QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString parent = info.path();
    if (parent == path)
        return QDir::cleanPath(path);
    return Resolved(parent) + QLatin1Char('/') + info.fileName();
}

bool HasParentStep(const QString& name)
{
    const QStringList steps = name.split(QRegExp(QStringLiteral("[/\\\\]")), Qt::SkipEmptyParts);
    return steps.contains(QStringLiteral(".."));
}

}

QString TypesDir(const QString& resourceDir)
{
    return QStringLiteral("%1/types").arg(resourceDir);
}

bool IsInside(const QString& dir, const QString& path)
{
    const QString base = Resolved(dir);
    const QString target = Resolved(path);
    return !base.isEmpty() && target.startsWith(base + QLatin1Char('/'));
}

QString ModuleTypeFile(const QString& resourceDir, const QString& fileName)
{
    if (fileName.isEmpty() || QDir::isAbsolutePath(fileName) || HasParentStep(fileName))
        return QString();
    const QString path = QStringLiteral("%1/%2").arg(resourceDir, fileName);
    return IsInside(TypesDir(resourceDir), path) ? path : QString();
}

void ReportOutside(const QString& path, const QString& dir)
{
    if (!LogOnce::FirstTime(dir + QLatin1Char('\n') + path))
        return;
    qWarning("Hardware description %s lies outside %s; not read", qUtf8Printable(path), qUtf8Printable(dir));
}

}
