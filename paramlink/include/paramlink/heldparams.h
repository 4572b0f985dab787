// What the store behind a config holds, as that store sees it: for a socket
// config the serving process's own table, not this process's.
#ifndef PARAMLINK_HELDPARAMS_H
#define PARAMLINK_HELDPARAMS_H

#include <cstdint>
#include <string>
#include <vector>

#include "paramlink/paramlinkexport.h"
#include "paramlink/valuekind.h"
#include "tovikconfig/paramtypes.h"

class Config;

struct HeldParam {
    eParam_t id = eParamID_None;
    // Empty when the store's table holds two descriptors of one name.
    std::string idName;
    ValueKind kind = ValueKind::Integer;
    std::int32_t intValue = 0;
    // The value of a string or data parameter.
    std::string bytes;
};

// Every parameter of the store's table for the config, in the table's
// order, with its value now; an empty list for an empty table. A parameter
// that leaves the table while it is read is left out. False, with out
// empty, when the store cannot be asked (not a config of this library, the
// connection lost, no answer in time).
PARAMLINK_EXPORT bool ListHeldParams(Config* config, std::vector<HeldParam>& out);

#endif
