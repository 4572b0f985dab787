#include "kelvro/ckelvro.h"

namespace {

using F = KelvroField;

constexpr FieldDef kSettings[] = {
    Setting("_disEmbChannels", 0),
    Setting("_embChannels", 0),
    Setting("_ch12Embed", 1),
    Setting("_ch34Embed", 1),
    Setting("_audLevel", 0),
    Setting("_linkAB", 0),
    Setting("_incomingEmbedded", 1),
};
constexpr auto kFields = Joined(kEmbedderStatusFields, kSettings);
static_assert(kFields.size() == F::kCount, "one row per field");

// {field, byte, lowest bit, bits}; byte n is register n + 3.
constexpr FieldBits kBits[] = {
    {F::_ch12Embed, 4, 0, 1},
    {F::_ch34Embed, 4, 1, 1},
    {F::_embChannels, 4, 4, 2},
    {F::_disEmbChannels, 4, 6, 2},
    {F::_incomingEmbedded, 5, 0, 1},
    {F::_linkAB, 5, 1, 1},
    {F::_audLevel, 5, 4, 2},
};

constexpr BlockLayout kLayout = MakeLayout(13, 3, kFields, kBits);

} // namespace

CKelvro::CKelvro(CCmdEngine* owner, UByte fpgaId, UByte blockId)
    : StatusDecodingBlock(owner, fpgaId, blockId, kLayout, kEmbedderStatus)
{
}
