// Where the daemon's resources (the types/ directory of hardware
// descriptions) are, for a program in a given directory.
#ifndef PLATFORM_RESOURCEDIR_H
#define PLATFORM_RESOURCEDIR_H

#include <QString>

// The program's own directory when types/ is beside it (a build tree),
// else the installed resource directory relative to it when that holds
// types/, else the program's directory. Cleaned as QDir::path() does.
QString ResourceDirFor(const QString& programDir);

#endif
