// The Ilmaro converter (model number 12): the identity strings only.
#include "tables/models/versiononly.h"
#include "tovikconfig/models/modelconfigs.h"
#include "tovikconfig/models/versiononlyparamids.h"

namespace tovikconfig {
namespace ilmaro {

bool IlmaroConfig::AddParamDescriptors(DescriptorTable* table)
{
    return tables::VersionOnlyTable<kParamIDBase>::Add(table);
}

} // namespace ilmaro
} // namespace tovikconfig
