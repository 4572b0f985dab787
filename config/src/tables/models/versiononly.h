// The identity strings as the version-only tables and the Jastel table build
// them, and the one table of the thirteen version-only models.
#ifndef TOVIKCONFIG_TABLES_MODELS_VERSIONONLY_H
#define TOVIKCONFIG_TABLES_MODELS_VERSIONONLY_H

#include "tables/models/convertertable.h"
#include "tovikconfig/models/converterparamids.h"

namespace tovikconfig {
namespace tables {

// Display names without a colon; both short names end in a blank.
constexpr Row FpgaVersionRow(eParam_t id)
{
    return StringRow(id, "eParamID_FpgaVersion", "FPGA Version", "FPGA Version", 1, ListOf(kDisplayType1));
}
constexpr Row ReleaseVersionRow(eParam_t id)
{
    return StringRow(id, "eParamID_DuviRuravodIvoduri", "Release Version", "Version: ", 1, ListOf(kDisplayType2));
}
constexpr Row SerialNumberRow(eParam_t id)
{
    return StringRow(id, "eParamID_VoruZevezoZerazi", "Serial Number", "Sn: ", 1, ListOf(kDisplayType2));
}

template <std::uint32_t IDBase>
struct VersionOnlyTable {
    static constexpr Row kRows[] = {
        FpgaVersionRow(ParamID(IDBase | kFpgaVersionIndex)),
        ReleaseVersionRow(ParamID(IDBase | kReleaseVersionIndex)),
        SerialNumberRow(ParamID(IDBase | kSerialNumberIndex)),
    };

    static bool Add(DescriptorTable* table) { return AddRowsUntilRefused(table, ListOf(kRows)); }
};

} // namespace tables
} // namespace tovikconfig

#endif
