// The Hestra ROI scaler (model number 6): 55 parameters, input word Dvi.
#include "roiscaler/table/rows.h"
#include "tovikconfig/models/hestraparamids.h"
#include "tovikconfig/models/modelconfigs.h"

namespace tovikconfig {
namespace hestra {

namespace {

using namespace tables;
using namespace tables::roiscaler;
using M = RoiMarkers<Dvi>;

// Every input region choice in one list; the two separators are ordinary
// items with the values -2 and -8 as unsigned numbers.
constexpr const char* kSeparator = "------------------------------------";
constexpr Item kInputModes[] = {
    {0, "Auto", nullptr},
    {1, "Variable", nullptr},
    {0xFFFFFFFE, kSeparator, nullptr},
    {3, "Fixed Aspect SDI Out", nullptr},
    {4, "Fixed Aspect DV", nullptr},
    {5, "Fixed Aspect NTSC", nullptr},
    {6, "Fixed Aspect PAL", nullptr},
    {7, "Fixed Aspect HD", nullptr},
    {0xFFFFFFF8, kSeparator, nullptr},
    {9, "Fixed Size SDI Out", nullptr},
    {10, "Fixed Size DV", nullptr},
    {11, "Fixed Size NTSC", nullptr},
    {12, "Fixed Size PAL", nullptr},
    {13, "Fixed Size 720HD", nullptr},
    {14, "Fixed Size 1080HD", nullptr},
};

// In creation order: the rows the ROI scaler tables share and the model's own.
constexpr Row kRows[] = {
    TOVIK_ROI_IDENTITY_ROWS,
    TOVIK_ROI_INPUT_MODE_ROW(kInputModes),
    TOVIK_ROI_REGION_ROWS,
    TOVIK_ROI_FILTER_ROWS,
    // The long name alone without its colon.
    TOVIK_ROI_RGB_RANGE_ROW("RGB Range"),
    TOVIK_ROI_AUDIO_ROWS(kHdmiAudioSources, Hdmi, "HDMI Conversion:"),
    TOVIK_ROI_INPUT_HOOK_ROWS(Dvi, "DVI In Enabled", "DVI In Size", "DVI In Roi", "DVI In Audio"),
    TOVIK_ROI_OUT_ENABLED_HOOK_ROW(Dvi, "DVI Out Enabled"),
    TOVIK_ROI_SDI_HOOK_ROWS,
    TOVIK_ROI_CONNECTED_ROWS(Dvi),
    TOVIK_ROI_ACTION_ROW,
    TOVIK_ROI_GENLOCK_ROW(kGenlockSources, 0),
    TOVIK_ROI_GENLOCK_STATUS_ROWS,
    TOVIK_ROI_MODULE_ROWS,
};

} // namespace

bool HestraConfig::AddParamDescriptors(DescriptorTable* table)
{
    return AddRowsUntilRefused(table, ListOf(kRows));
}

} // namespace hestra
} // namespace tovikconfig
