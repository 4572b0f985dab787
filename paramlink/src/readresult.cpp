#include "readresult.h"

namespace paramlink {

std::string UnreadLine(eConfigID_t configID, const std::string& param, ReadResult result)
{
    const char* why = "";
    switch (result) {
    case ReadResult::Ok:
        return std::string();
    case ReadResult::NotConnected:
        why = "is not connected";
        break;
    case ReadResult::NoAnswer:
        why = "did not answer";
        break;
    case ReadResult::NoSuchParameter:
        why = "has no such parameter";
        break;
    case ReadResult::OtherKind:
        why = "holds another kind of value there";
        break;
    }
    return "config " + std::to_string(configID) + " " + why + "; " + param + " unknown";
}

} // namespace paramlink
