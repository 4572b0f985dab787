#include "lastchange.h"

namespace paramlink {

bool MayWriteOver(const LastChange& last, const HeardSoFar& heard)
{
    if (!heard.listening || last.number <= heard.listeningSince)
        return true;
    if (last.origin.writer == heard.writer)
        return true;
    // Writer 0 names nobody: no change can be told to be the one heard.
    return last.origin.writer != 0 && last.origin.writer == heard.lastHeard.writer &&
           last.origin.sequence == heard.lastHeard.sequence;
}

} // namespace paramlink
