// The Mardex ROI scaler (model number 15): 71 parameters, input word Dp.
#include "roiscaler/table/rows.h"
#include "tovikconfig/models/mardexparamids.h"
#include "tovikconfig/models/modelconfigs.h"

namespace tovikconfig {
namespace mardex {

namespace {

using namespace tables;
using namespace tables::roiscaler;
using M = RoiMarkers<Dp>;

constexpr Item kDpAudioSources[] = {
    {0, "DP", nullptr}, {1, "Analog", nullptr}, {2, "Analog + DP", nullptr}, {3, "None", nullptr},
};
// Only the reference and free run; free run is the default.
constexpr Item kReferenceSources[] = {{2, "Ref In", nullptr}, {3, "Free Run", nullptr}};
constexpr std::int64_t kFreeRun = 3;
constexpr Item kEdidSources[] = {{0, "Mardex", nullptr}, {1, "Mardex/Monitor", nullptr}};

// In creation order: the rows the ROI scaler tables share and the model's own.
constexpr Row kRows[] = {
    TOVIK_ROI_IDENTITY_ROWS,
    TOVIK_ROI_INPUT_MODE_ROW(kInputKinds),
    TOVIK_ROI_FIXED_MODE_ROWS,
    TOVIK_ROI_REGION_ROWS,
    TOVIK_ROI_PROCESSING_ROWS,
    TOVIK_ROI_FILTER_ROWS,
    TOVIK_ROI_RGB_RANGE_ROW("RGB Range:"),
    TOVIK_ROI_AUDIO_ROWS(kDpAudioSources, Dp, "Dp Conversion:"),
    TOVIK_ROI_INPUT_HOOK_ROWS(Dp, "DP In Enabled", "DP In Size", "DP In Roi", "DP In Audio"),
    TOVIK_ROI_OUT_FRAME_DELAY_HOOK_ROW,
    TOVIK_ROI_SDI_HOOK_ROWS,
    // The output hook after the SDI hooks, unlike Hestra and Pendro.
    TOVIK_ROI_OUT_ENABLED_HOOK_ROW(Dp, "DP Out Enabled"),
    TOVIK_ROI_CONNECTED_ROWS(Dp),
    TOVIK_ROI_ACTION_ROW,
    TOVIK_ROI_GENLOCK_ROW(kReferenceSources, kFreeRun),
    EnumRow(TOVIK_ID(eParamID_EDIDFlowThru), "EDID Flow Through:", "EDID", 0, ListOf(kEdidSources),
            ListOf(kDisplayType8), 0),
    // The default is one blank.
    StringRow(TOVIK_ID(eParamID_EDIDNameStr), "EDID Name", "EDID Name", 1, ListOf(kDisplayType2), " "),
    TOVIK_ROI_GENLOCK_STATUS_ROWS,
    TOVIK_ROI_DELAY_LABEL_ROWS,
    TOVIK_ROI_MODULE_ROWS,
    TOVIK_ROI_PROC_LIMIT_ROW,
};

} // namespace

bool MardexConfig::AddParamDescriptors(DescriptorTable* table)
{
    return AddRowsUntilRefused(table, ListOf(kRows));
}

} // namespace mardex
} // namespace tovikconfig
