// The number of user presets the store keeps.
#ifndef PARAMLINK_MAXCONFIGID_H
#define PARAMLINK_MAXCONFIGID_H

int GetMaxConfigID();

#endif
