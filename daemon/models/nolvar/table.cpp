// The Nolvar converter (model number 17): the identity strings only.
#include "tables/models/versiononly.h"
#include "tovikconfig/models/modelconfigs.h"
#include "tovikconfig/models/versiononlyparamids.h"

namespace tovikconfig {
namespace nolvar {

bool NolvarConfig::AddParamDescriptors(DescriptorTable* table)
{
    return tables::VersionOnlyTable<kParamIDBase>::Add(table);
}

} // namespace nolvar
} // namespace tovikconfig
