// Messages about description files are logged once per file and reason:
// every search of the converters reads the files again.
#ifndef PORTVANE_LOGONCE_H
#define PORTVANE_LOGONCE_H

#include <QString>

namespace LogOnce {

// True the first time a key is given (of the last 256 or so).
bool FirstTime(const QString& key);

}

#endif
