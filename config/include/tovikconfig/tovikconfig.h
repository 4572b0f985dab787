// The one entry of libtovikconfig: fill a config's descriptor table for a
// model number.
#ifndef TOVIKCONFIG_TOVIKCONFIG_H
#define TOVIKCONFIG_TOVIKCONFIG_H

#include <cstdint>

class DescriptorTable;

namespace tovikconfig {

// 0 common parameters only, 1 the box, 2..23 converter models; 24+ rejected.
typedef std::uint32_t ViveRode_t;

class TovikConfig {
public:
    static bool AddParamDescriptors(DescriptorTable* table, ViveRode_t const& type);
};

} // namespace tovikconfig

#endif
