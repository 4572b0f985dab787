#include "platform/resourcedir.h"

#include <QDir>
#include <QFileInfo>

#ifndef TOVIK_BIN_TO_RESOURCES
#define TOVIK_BIN_TO_RESOURCES "../share/portvane"
#endif

namespace {

bool HoldsTypes(const QDir& dir)
{
    return QFileInfo(dir, QStringLiteral("types")).isDir();
}

} // namespace

QString ResourceDirFor(const QString& programDir)
{
    const QDir beside(programDir);
    if (HoldsTypes(beside))
        return beside.path();
    const QDir installed(QDir::cleanPath(beside.filePath(QStringLiteral(TOVIK_BIN_TO_RESOURCES))));
    if (HoldsTypes(installed))
        return installed.path();
    return beside.path();
}
