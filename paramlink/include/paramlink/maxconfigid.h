// The number of user presets the store keeps, and the highest config id a
// socket server serves.
#ifndef PARAMLINK_MAXCONFIGID_H
#define PARAMLINK_MAXCONFIGID_H

#include "paramlink/paramlinkexport.h"

PARAMLINK_EXPORT int GetMaxConfigID();

#endif
