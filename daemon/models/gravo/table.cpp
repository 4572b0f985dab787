// The Gravo converter (model number 5): the identity strings only.
#include "tables/models/versiononly.h"
#include "tovikconfig/models/modelconfigs.h"
#include "tovikconfig/models/versiononlyparamids.h"

namespace tovikconfig {
namespace gravo {

bool GravoConfig::AddParamDescriptors(DescriptorTable* table)
{
    return tables::VersionOnlyTable<kParamIDBase>::Add(table);
}

} // namespace gravo
} // namespace tovikconfig
