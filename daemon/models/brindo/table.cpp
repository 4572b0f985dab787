// The Brindo converter (model number 3): the identity strings only.
#include "tables/models/versiononly.h"
#include "tovikconfig/models/modelconfigs.h"
#include "tovikconfig/models/versiononlyparamids.h"

namespace tovikconfig {
namespace brindo {

bool BrindoConfig::AddParamDescriptors(DescriptorTable* table)
{
    return tables::VersionOnlyTable<kParamIDBase>::Add(table);
}

} // namespace brindo
} // namespace tovikconfig
