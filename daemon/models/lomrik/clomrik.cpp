#include "lomrik/clomrik.h"

#include "blocksupport/fieldcodes.h"

namespace {

using F = LomrikField;

constexpr FieldDef kSettings[] = {
    Setting("_disEmbChannels", 0),
    Setting("_embChannels", 0),
    Setting("_ch78Embed", 1),
    Setting("_ch56Embed", 1),
    Setting("_ch34Embed", 1),
    Setting("_ch12Embed", 1),
    Setting("_linkAB", 0),
    Setting("_incomingEmbedded", 1),
    Setting("_srcCh12", 0),
    Setting("_srcCh34", 0),
    Setting("_srcCh56", 0),
    Setting("_srcCh78", 0),
};
constexpr auto kFields = Joined(kEmbedderStatusFields, kSettings);
static_assert(kFields.size() == F::kCount, "one row per field");

// {field, byte, lowest bit, bits[, value bit]}; byte n is register n + 3.
// Source k (0 for channels 1-2 up to 3 for 7-8) has its lower bit at bit
// k and its upper bit at bit 4 + k of byte 6.
constexpr FieldBits kBits[] = {
    {F::_ch12Embed, 4, 0, 1},
    {F::_ch34Embed, 4, 1, 1},
    {F::_ch56Embed, 4, 2, 1},
    {F::_ch78Embed, 4, 3, 1},
    {F::_embChannels, 4, 4, 2},
    {F::_disEmbChannels, 4, 6, 2},
    {F::_incomingEmbedded, 5, 0, 1},
    {F::_linkAB, 5, 1, 1},
    {F::_srcCh12, 6, 0, 1, 0}, {F::_srcCh12, 6, 4, 1, 1},
    {F::_srcCh34, 6, 1, 1, 0}, {F::_srcCh34, 6, 5, 1, 1},
    {F::_srcCh56, 6, 2, 1, 0}, {F::_srcCh56, 6, 6, 1, 1},
    {F::_srcCh78, 6, 3, 1, 0}, {F::_srcCh78, 6, 7, 1, 1},
};

// A source as (upper, lower): 0 is (1, 1), 1 is (0, 0), 2 is (0, 1), any
// other value (0, 0). Read: the upper bit gives 0, else 1 plus the lower.
constexpr int kSourceOut[] = {3, 0, 1};
constexpr int kSourceIn[] = {1, 2, 0, 0};
constexpr FieldCode kCodes[] = {
    Coded(F::_srcCh12, RowsOf(kSourceOut), 0, RowsOf(kSourceIn)),
    Coded(F::_srcCh34, RowsOf(kSourceOut), 0, RowsOf(kSourceIn)),
    Coded(F::_srcCh56, RowsOf(kSourceOut), 0, RowsOf(kSourceIn)),
    Coded(F::_srcCh78, RowsOf(kSourceOut), 0, RowsOf(kSourceIn)),
};

constexpr BlockLayout kLayout = MakeLayout(13, 3, kFields, kBits, RowsOf(kCodes));

} // namespace

CLomrik::CLomrik(CCmdEngine* owner, UByte fpgaId, UByte blockId)
    : StatusDecodingBlock(owner, fpgaId, blockId, kLayout, kEmbedderStatus)
{
}
