// Where the hardware description files may lie: inside the types folder of
// the resource directory. A name in an assembly that leads elsewhere (an
// absolute path, a ".." step, a link pointing out) is not followed.
#ifndef PORTVANE_DESCRIPTIONPATHS_H
#define PORTVANE_DESCRIPTIONPATHS_H

#include <QString>

namespace DescriptionPaths {

// "<resource dir>/types".
QString TypesDir(const QString& resourceDir);

// Whether path lies inside dir with links resolved; a path that does not
// exist lies inside when its name does.
bool IsInside(const QString& dir, const QString& path);

// The path of a module-type file named in an assembly (relative to the
// resource directory), or empty text when the name leaves the types folder.
QString ModuleTypeFile(const QString& resourceDir, const QString& fileName);

// Logs, once per file, that a description path was not followed.
void ReportOutside(const QString& path, const QString& dir);

}

#endif
