#include "tovikconfig/tovikconfig.h"

#include "tables/convertertables.h"
#include "tovikconfig/commonconfig.h"

namespace tovikconfig {

namespace {

constexpr ViveRode_t kCommonOnly = 0;
constexpr ViveRode_t kBox = 1;

} // namespace

bool TovikConfig::AddParamDescriptors(DescriptorTable* table, ViveRode_t const& type)
{
    if (!table)
        return false;
    if (!AddCommonParamDescriptors(table))
        return false;
    const ViveRode_t model = type;
    if (model >= kViveRodeCount)
        return false;
    if (model == kCommonOnly)
        return true;
    if (model == kBox) {
        if (!AddCommonSharedParamDescriptors(table))
            return false;
        return AddTovikParamDescriptors(table);
    }
    if (!AddCommonPodunitParamDescriptors(table))
        return false;
    const ConverterTableFn converterTable = ConverterTable(model);
    return converterTable ? converterTable(table) : true;
}

bool TovikConfig::AddCommonParamDescriptors(DescriptorTable*)
{
    return true;
}

bool TovikConfig::AddCommonSharedParamDescriptors(DescriptorTable* table)
{
    typedef bool (*BoxTableFn)(DescriptorTable*);
    static const BoxTableFn kBoxTables[] = {
        &CommonConfig::NetworkConfig::AddParamDescriptors,
        &CommonConfig::VersionConfig::AddParamDescriptors,
        &CommonConfig::PersistenceConfig::AddParamDescriptors,
        &CommonConfig::AlarmConfig::AddParamDescriptors,
        &CommonConfig::AuthConfig::AddParamDescriptors,
    };
    bool result = true;
    for (BoxTableFn add : kBoxTables) {
        result = add(table);
        if (!result)
            return false;
    }
    return result;
}

} // namespace tovikconfig
