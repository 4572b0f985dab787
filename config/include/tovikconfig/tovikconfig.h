// The one entry of libtovikconfig: fill a config's descriptor table for a
// model number.
#ifndef TOVIKCONFIG_TOVIKCONFIG_H
#define TOVIKCONFIG_TOVIKCONFIG_H

#include <cstdint>

#include "tovikconfig/tovikexport.h"

class DescriptorTable;
class EnumDescriptor;

namespace tovikconfig {

// 0 common parameters only, 1 the box, 2..23 converter models; 24+ rejected.
typedef std::uint32_t ViveRode_t;

// Number of model numbers the dispatch knows (0 .. kViveRodeCount - 1).
constexpr ViveRode_t kViveRodeCount = 24;

class TOVIKCONFIG_EXPORT TovikConfig {
public:
    // Adds the descriptors of the model to the table (which the caller has
    // cleared). False for a null table, a model number of 24 or more, or a
    // refused descriptor where the model's builder stops on refusals.
    static bool AddParamDescriptors(DescriptorTable* table, ViveRode_t const& type);

    // Parameters of every config: none.
    static bool AddCommonParamDescriptors(DescriptorTable* table);
    // The box-wide tables: network, version, persistence, alarm, auth.
    static bool AddCommonSharedParamDescriptors(DescriptorTable* table);
    // The connection status every converter config carries.
    static bool AddCommonPodunitParamDescriptors(DescriptorTable* table);
    // Type, flags, the fifteen items and the default of a status descriptor.
    static bool CompleteCxnStatusDescriptor(EnumDescriptor* descriptor);
    // The box's device count, serial number and four device slots.
    static bool AddTovikParamDescriptors(DescriptorTable* table);
};

} // namespace tovikconfig

#endif
