// What a config's read found, and the line that says why a value is not
// known when it found none.
#ifndef PARAMLINK_READRESULT_H
#define PARAMLINK_READRESULT_H

#include <string>

#include "tovikconfig/paramtypes.h"

namespace paramlink {

enum class ReadResult {
    Ok,
    // The link to the store is away.
    NotConnected,
    // The request went out and no answer came (in time).
    NoAnswer,
    // This process's table has no such parameter.
    NoSuchParameter,
    // The parameter holds another kind of value.
    OtherKind
};

// "config 0 is not connected; eParamID_DeviceCount unknown"; param names
// the parameter (its id name, or its number).
std::string UnreadLine(eConfigID_t configID, const std::string& param, ReadResult result);

} // namespace paramlink

#endif
