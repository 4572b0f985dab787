#include "gravo/cgravo.h"

namespace {

using F = GravoField;

constexpr FieldDef kFields[] = {
    Setting("_vidOutFormat", 3),
    BoolSetting("_add32Pulldown", false),
    Setting("_genlockMode", 3),
    Setting("_upconvertMode", 2),
    Setting("_downconvertMode", 1),
    Setting("_aspectConvertMode", 5),
    Setting("_hdmiProtocol", 0),
    Setting("_hdmiColorSpace", 0),
    Setting("_hdmiColorRange", 0),
    Setting("_analogAudioOut", 0),
    Setting("_hdmiAudioOut", 0),
    Setting("_lossOfInputMode", 0),
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == F::kCount, "one row per field");

// {field, byte, lowest bit, bits}
constexpr FieldBits kBits[] = {
    {F::_vidOutFormat, 0, 0, 3},
    {F::_add32Pulldown, 0, 3, 1},
    {F::_hdmiProtocol, 1, 0, 2},
    {F::_hdmiColorSpace, 1, 2, 2},
    {F::_hdmiColorRange, 1, 4, 2},
    {F::_downconvertMode, 2, 0, 3},
    {F::_upconvertMode, 2, 3, 3},
    {F::_genlockMode, 3, 0, 2},
    {F::_lossOfInputMode, 3, 4, 1},
    {F::_aspectConvertMode, 3, 5, 3},
    {F::_analogAudioOut, 4, 0, 3},
    {F::_hdmiAudioOut, 4, 3, 2},
};

constexpr BlockLayout kLayout = MakeLayout(5, 0, kFields, kBits);

} // namespace

CGravo::CGravo(CCmdEngine* owner, UByte fpgaId, UByte blockId) : RegisterBlock(owner, fpgaId, blockId, kLayout) {}
