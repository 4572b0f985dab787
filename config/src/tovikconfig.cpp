#include "tovikconfig/tovikconfig.h"

namespace tovikconfig {

bool TovikConfig::AddParamDescriptors(DescriptorTable* table, ViveRode_t const& type)
{
    if (!table)
        return false;
    return type == 0;
}

} // namespace tovikconfig
