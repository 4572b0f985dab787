// The random source's descriptor and path, reachable by tests.
#ifndef LUMO_LUMORANDOM_P_H
#define LUMO_LUMORANDOM_P_H

#include <QByteArray>

#include "lumo/lumoglobal.h"

namespace LumoRandomSource {
// "/dev/urandom" unless a test points elsewhere; used by the next open.
LUMO_AUTOTEST_EXPORT void setPath(QByteArray const& path);
// Closes the source (when open) so the next LumoRandomInit opens it anew.
LUMO_AUTOTEST_EXPORT void reset();
LUMO_AUTOTEST_EXPORT int descriptor();
} // namespace LumoRandomSource

#endif
