// Symbol export of libtovikdescriptors and libtovikconfig. Both are built
// with hidden visibility: only what carries one of these macros is part of
// a library's interface.
#ifndef TOVIKCONFIG_TOVIKEXPORT_H
#define TOVIKCONFIG_TOVIKEXPORT_H

#define TOVIK_DECL_EXPORT __attribute__((visibility("default")))

// The descriptor classes (libtovikdescriptors).
#define TOVIKDESCRIPTORS_EXPORT TOVIK_DECL_EXPORT
// The model dispatch and the parameter tables (libtovikconfig).
#define TOVIKCONFIG_EXPORT TOVIK_DECL_EXPORT

#endif
