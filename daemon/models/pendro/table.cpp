// The Pendro ROI scaler (model number 19): 69 parameters, input word Dvi.
// Its ids alone take the base 0x00111000, as the Pendro wrapper does.
#include "roiscaler/table/rows.h"
#include "tovikconfig/models/pendroparamids.h"
#include "tovikconfig/models/modelconfigs.h"

namespace tovikconfig {
namespace pendro {

namespace {

using namespace tables;
using namespace tables::roiscaler;
using M = RoiMarkers<Dvi>;

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
    TOVIK_ROI_INPUT_HOOK_ROWS(Dvi, "DVI In Enabled", "DVI In Size", "DVI In Roi", "DVI In Audio"),
    TOVIK_ROI_OUT_FRAME_DELAY_HOOK_ROW,
    TOVIK_ROI_OUT_ENABLED_HOOK_ROW(Dvi, "DVI Out Enabled"),
    TOVIK_ROI_SDI_HOOK_ROWS,
    TOVIK_ROI_CONNECTED_ROWS(Dvi),
    TOVIK_ROI_ACTION_ROW,
    TOVIK_ROI_GENLOCK_ROW(kGenlockSources, 0),
    TOVIK_ROI_GENLOCK_STATUS_ROWS,
    TOVIK_ROI_DELAY_LABEL_ROWS,
    TOVIK_ROI_MODULE_ROWS,
    TOVIK_ROI_PROC_LIMIT_ROW,
};

} // namespace

bool PendroConfig::AddParamDescriptors(DescriptorTable* table)
{
    return AddRowsUntilRefused(table, ListOf(kRows));
}

} // namespace pendro
} // namespace tovikconfig
