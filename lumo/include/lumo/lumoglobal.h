// Symbol export of liblumo. The library is built with hidden visibility:
// only what carries LUMO_EXPORT is part of its interface.
#ifndef LUMO_LUMOGLOBAL_H
#define LUMO_LUMOGLOBAL_H

#include <QtGlobal>

#if defined(LUMO_BUILD_LIBRARY)
#define LUMO_EXPORT Q_DECL_EXPORT
#else
#define LUMO_EXPORT Q_DECL_IMPORT
#endif

// Internal entry points that the library's own tests reach through the
// private headers beside the sources; not declared in any public header.
#define LUMO_AUTOTEST_EXPORT LUMO_EXPORT

#endif
