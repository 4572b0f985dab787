// The Cadmer converter (model number 4): the identity strings only.
#include "tables/models/versiononly.h"
#include "tovikconfig/models/modelconfigs.h"
#include "tovikconfig/models/versiononlyparamids.h"

namespace tovikconfig {
namespace cadmer {

bool CadmerConfig::AddParamDescriptors(DescriptorTable* table)
{
    return tables::VersionOnlyTable<kParamIDBase>::Add(table);
}

} // namespace cadmer
} // namespace tovikconfig
