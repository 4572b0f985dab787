// The Quastel ROI scaler (model number 20): 69 parameters, input word Hdmi.
#include "roiscaler/table/rows.h"
#include "tovikconfig/models/quastelparamids.h"
#include "tovikconfig/models/modelconfigs.h"

namespace tovikconfig {
namespace quastel {

namespace {

using namespace tables;
using namespace tables::roiscaler;
using M = RoiMarkers<Hdmi>;

// In creation order: the rows the ROI scaler tables share and the model's own.
constexpr Row kRows[] = {
    TOVIK_ROI_IDENTITY_ROWS,
    TOVIK_ROI_INPUT_MODE_ROW(kInputKinds),
    TOVIK_ROI_FIXED_MODE_ROWS,
    TOVIK_ROI_REGION_ROWS,
    TOVIK_ROI_PROCESSING_ROWS,
    TOVIK_ROI_FILTER_ROWS,
    TOVIK_ROI_RGB_RANGE_ROW("RGB Range:"),
    TOVIK_ROI_AUDIO_ROWS(kHdmiAudioSources, Hdmi, "HDMI Conversion:"),
    TOVIK_ROI_INPUT_HOOK_ROWS(Hdmi, "Hdmi In Enabled", "HDMI In Size", "Hdmi In Roi", "Hdmi In Audio"),
    TOVIK_ROI_OUT_ENABLED_HOOK_ROW(Hdmi, "HDMI Out Enabled"),
    TOVIK_ROI_SDI_HOOK_ROWS,
    // The frame-delay hook after the SDI hooks, unlike Mardex and Pendro.
    TOVIK_ROI_OUT_FRAME_DELAY_HOOK_ROW,
    TOVIK_ROI_CONNECTED_ROWS(Hdmi),
    TOVIK_ROI_ACTION_ROW,
    TOVIK_ROI_GENLOCK_ROW(kGenlockSources, 0),
    TOVIK_ROI_GENLOCK_STATUS_ROWS,
    TOVIK_ROI_DELAY_LABEL_ROWS,
    TOVIK_ROI_MODULE_ROWS,
    TOVIK_ROI_PROC_LIMIT_ROW,
};

} // namespace

bool QuastelConfig::AddParamDescriptors(DescriptorTable* table)
{
    return AddRowsUntilRefused(table, ListOf(kRows));
}

} // namespace quastel
} // namespace tovikconfig
