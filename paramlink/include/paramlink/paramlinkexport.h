// Symbol export of libparamlink. The library is built with hidden
// visibility: only what carries PARAMLINK_EXPORT is part of its interface.
#ifndef PARAMLINK_PARAMLINKEXPORT_H
#define PARAMLINK_PARAMLINKEXPORT_H

#define PARAMLINK_EXPORT __attribute__((visibility("default")))

#endif
