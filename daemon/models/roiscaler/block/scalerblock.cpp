#include "roiscaler/block/scalerblock.h"

#include <array>
#include <cstddef>

#include "protocol/ccommprotocol.h"

namespace {

using F = RoiField;

constexpr unsigned kHestra = roiscaler::kHestraBlockBit, kMardex = roiscaler::kMardexBlockBit,
                   kPendro = roiscaler::kPendroBlockBit, kQuastel = roiscaler::kQuastelBlockBit;
constexpr unsigned kAll = kHestra | kMardex | kPendro | kQuastel;
constexpr unsigned kNotHestra = kMardex | kPendro | kQuastel;
constexpr std::size_t kModelCount = 4;

// A field of the models whose bit is in `models`; a model without a row
// for a field lacks it.
struct FieldRow {
    int field;
    FieldDef def;
    unsigned models;
};

constexpr FieldType kWord = FieldType::Word;
constexpr FieldType kByte = FieldType::Byte;
constexpr FieldType kBool = FieldType::Bool;

constexpr FieldRow kFields[] = {
    {F::_inputActivePixels, Setting("_inputActivePixels", 720, kWord), kAll},
    {F::_inputActiveLines, Setting("_inputActiveLines", 486, kWord), kAll},
    {F::_inputHStartOffset, Setting("_inputHStartOffset", 600, kWord), kAll},
    {F::_inputVStartOffset, Setting("_inputVStartOffset", 357, kWord), kAll},
    {F::_outputActivePixels, Setting("_outputActivePixels", 1600, kWord), kAll},
    {F::_outputActiveLines, Setting("_outputActiveLines", 1080, kWord), kAll},
    {F::_outputHStartOffset, Setting("_outputHStartOffset", 160, kWord), kAll},
    {F::_outputVStartOffset, Setting("_outputVStartOffset", 0, kWord), kAll},
    {F::_roiCtrl, Setting("_roiCtrl", 0x57, kByte), kAll},
    {F::_saveRoi, SettingWithoutDefault("_saveRoi", kBool, FieldLoad::Bool), kNotHestra},
    {F::_sdiOutVideoCtrl, Setting("_sdiOutVideoCtrl", 4, kByte), kAll},
    {F::_backColorCr, Setting("_backColorCr", 128, kByte), kAll},
    {F::_backColorY, Setting("_backColorY", 16, kByte), kAll},
    {F::_backColorCb, Setting("_backColorCb", 128, kByte), kAll},
    {F::_genLockCtrl, Setting("_genLockCtrl", 0, kByte), kHestra | kPendro | kQuastel},
    {F::_genLockCtrl, Setting("_genLockCtrl", 4, kByte), kMardex},
    {F::_isSmpte, Setting("_isSmpte", 0, kBool), kAll},
    {F::_swStateSelect, Setting("_swStateSelect", 0, kByte), kAll},
    {F::_swStateSelect2, Setting("_swStateSelect2", 0, kByte), kNotHestra},
    {F::_stInputHStartLSB, SettingWithoutDefault("_stInputHStartLSB", kByte), kAll},
    {F::_stInputHStartAndInputHWidthMSB, SettingWithoutDefault("_stInputHStartAndInputHWidthMSB", kByte), kAll},
    {F::_stInputHWidthLSB, SettingWithoutDefault("_stInputHWidthLSB", kByte), kAll},
    {F::_stInputHTotalLSB, SettingWithoutDefault("_stInputHTotalLSB", kByte), kAll},
    {F::_stInputHTotalAndInputVStartMSB, SettingWithoutDefault("_stInputHTotalAndInputVStartMSB", kByte), kAll},
    {F::_stInputVStartLSB, SettingWithoutDefault("_stInputVStartLSB", kByte), kAll},
    {F::_stInputVHeightLSB, SettingWithoutDefault("_stInputVHeightLSB", kByte), kAll},
    {F::_stInputVHeightAndInputVTotalMSB, SettingWithoutDefault("_stInputVHeightAndInputVTotalMSB", kByte), kAll},
    {F::_stInputVTotalLSB, SettingWithoutDefault("_stInputVTotalLSB", kByte), kAll},
    {F::_stInputMiscSignal, SettingWithoutDefault("_stInputMiscSignal", kByte), kAll},
    {F::_stHzThousandsReg0, SettingWithoutDefault("_stHzThousandsReg0", kByte), kAll},
    {F::_stHzThousandsReg1, SettingWithoutDefault("_stHzThousandsReg1", kByte), kAll},
    {F::_stHzThousandsReg2, SettingWithoutDefault("_stHzThousandsReg2", kByte), kAll},
    {F::_audioControl, Setting("_audioControl", 0, kByte), kAll},
    {F::_horizontalDelay, Setting("_horizontalDelay", 0, kWord), kAll},
    {F::_verticalDelay, Setting("_verticalDelay", 0, kWord), kAll},
    {F::_sharpBlanking, Setting("_sharpBlanking", 0, kBool), kAll},
    {F::_flickerFiltering, Setting("_flickerFiltering", 0, kBool), kAll},
    {F::_rotation, Setting("_rotation", 0), kNotHestra},
    {F::_verticalFlip, Setting("_verticalFlip", 0, kBool), kNotHestra},
    {F::_horizontalFlip, Setting("_horizontalFlip", 0, kBool), kNotHestra},
    {F::_frameDelay, Setting("_frameDelay", 0, kBool), kNotHestra},
    {F::_edidSwitch, Setting("_edidSwitch", 1, kBool), kMardex},
    // Saved under a key of its own; older settings hold it under its name.
    {F::_audioDpSelectIndex, Setting("_audioDpSelectIndexControl", 0, kBool, "_audioDpSelectIndex"), kMardex},
    {F::_stInputHWidth, StatusField(), kAll},
    {F::_stInputVHeight, StatusField(), kAll},
    {F::_procLimit, StatusField(kBool), kNotHestra},
    {F::_fpgaInputHStartLSB, StatusField(kByte), kAll},
    {F::_fpgaInputHStartAndInputHWidthMSB, StatusField(kByte), kAll},
    {F::_fpgaInputHWidthLSB, StatusField(kByte), kAll},
    {F::_fpgaInputHTotalLSB, StatusField(kByte), kAll},
    {F::_fpgaInputHTotalAndInputVStartMSB, StatusField(kByte), kAll},
    {F::_fpgaInputVStartLSB, StatusField(kByte), kAll},
    {F::_fpgaInputVHeightLSB, StatusField(kByte), kAll},
    {F::_fpgaInputVHeightAndInputVTotalMSB, StatusField(kByte), kAll},
    {F::_fpgaInputVTotalLSB, StatusField(kByte), kAll},
    {F::_fpgaInputMiscSignal, StatusField(kByte), kAll},
    {F::_fpgaHzThousandsReg0, StatusField(kByte), kAll},
    {F::_fpgaHzThousandsReg1, StatusField(kByte), kAll},
    {F::_fpgaHzThousandsReg2, StatusField(kByte), kAll},
    {F::_fpgaInputHWidth, StatusField(), kAll},
    {F::_fpgaInputVHeight, StatusField(), kAll},
    {F::_statusReg59Bit5, StatusField(kBool), kNotHestra},
    {F::_statusReg59Bit7, StatusField(kBool), kNotHestra},
};

// A run of the models whose bit is in `models`.
struct BitsRow {
    FieldBits bits;
    unsigned models;
};

constexpr RunUse kPack = RunUse::Pack;
constexpr RunUse kUnpack = RunUse::Unpack;

// Image byte i is register 3 + i.
constexpr BitsRow kImageBits[] = {
    // Registers 3 to 14: the two regions, 12-bit values with their high
    // nibbles paired in registers 4, 7, 10 and 13.
    {{F::_inputActivePixels, 0, 0, 8, 0}, kAll},
    {{F::_inputActivePixels, 1, 4, 4, 8}, kAll},
    {{F::_inputActiveLines, 1, 0, 4, 8}, kAll},
    {{F::_inputActiveLines, 2, 0, 8, 0}, kAll},
    {{F::_inputHStartOffset, 3, 0, 8, 0}, kAll},
    {{F::_inputHStartOffset, 4, 4, 4, 8}, kAll},
    {{F::_inputVStartOffset, 4, 0, 4, 8}, kAll},
    {{F::_inputVStartOffset, 5, 0, 8, 0}, kAll},
    {{F::_outputActivePixels, 6, 0, 8, 0}, kAll},
    {{F::_outputActivePixels, 7, 4, 4, 8}, kAll},
    {{F::_outputActiveLines, 7, 0, 4, 8}, kAll},
    {{F::_outputActiveLines, 8, 0, 8, 0}, kAll},
    {{F::_outputHStartOffset, 9, 0, 8, 0}, kAll},
    {{F::_outputHStartOffset, 10, 4, 4, 8}, kAll},
    {{F::_outputVStartOffset, 10, 0, 4, 8}, kAll},
    {{F::_outputVStartOffset, 11, 0, 8, 0}, kAll},
    // Register 15: ROI control; bit 5 is the ROI save flag on write, and
    // the control takes the whole register on read.
    {{F::_roiCtrl, 12, 0, 8, 0}, kHestra},
    {{F::_roiCtrl, 12, 0, 5, 0, kPack}, kNotHestra},
    {{F::_roiCtrl, 12, 6, 2, 6, kPack}, kNotHestra},
    {{F::_roiCtrl, 12, 0, 8, 0, kUnpack}, kNotHestra},
    {{F::_saveRoi, 12, 5, 1, 0}, kNotHestra},
    // Registers 16 to 19.
    {{F::_sdiOutVideoCtrl, 13, 0, 8, 0}, kAll},
    {{F::_backColorCr, 14, 0, 8, 0}, kAll},
    {{F::_backColorY, 15, 0, 8, 0}, kAll},
    {{F::_backColorCb, 16, 0, 8, 0}, kAll},
    // Register 20: genlock control and vertical delay bit 9.
    {{F::_genLockCtrl, 17, 0, 7, 0}, kAll},
    {{F::_verticalDelay, 17, 7, 1, 9}, kAll},
    // Registers 21 and 22: the delays' low bytes.
    {{F::_horizontalDelay, 18, 0, 8, 0}, kAll},
    {{F::_verticalDelay, 19, 0, 8, 0}, kAll},
    // Register 23: filters, then rotation with the frame delay ORed into
    // bit 2, and the flips; bit 4 is 0 here (the follow-up write sets it).
    {{F::_sharpBlanking, 20, 7, 1, 0}, kAll},
    {{F::_isSmpte, 20, 6, 1, 0}, kAll},
    {{F::_flickerFiltering, 20, 5, 1, 0}, kAll},
    {{F::_rotation, 20, 2, 2, 0}, kNotHestra},
    {{F::_frameDelay, 20, 2, 1, 0}, kNotHestra},
    {{F::_verticalFlip, 20, 1, 1, 0}, kNotHestra},
    {{F::_horizontalFlip, 20, 0, 1, 0}, kNotHestra},
    // Registers 24 and 25.
    {{F::_swStateSelect, 21, 0, 8, 0}, kAll},
    {{F::_swStateSelect2, 22, 0, 8, 0}, kNotHestra},
    // Registers 26 to 34: input timing.
    {{F::_stInputHStartLSB, 23, 0, 8, 0}, kAll},
    {{F::_stInputHStartAndInputHWidthMSB, 24, 0, 8, 0}, kAll},
    {{F::_stInputHWidthLSB, 25, 0, 8, 0}, kAll},
    {{F::_stInputHTotalLSB, 26, 0, 8, 0}, kAll},
    {{F::_stInputHTotalAndInputVStartMSB, 27, 0, 8, 0}, kAll},
    {{F::_stInputVStartLSB, 28, 0, 8, 0}, kAll},
    {{F::_stInputVHeightLSB, 29, 0, 8, 0}, kAll},
    {{F::_stInputVHeightAndInputVTotalMSB, 30, 0, 8, 0}, kAll},
    {{F::_stInputVTotalLSB, 31, 0, 8, 0}, kAll},
    // Register 35: vertical delay bit 8, horizontal delay bits 11..8, the
    // misc signal's bits 2..0 (read whole).
    {{F::_verticalDelay, 32, 7, 1, 8}, kAll},
    {{F::_horizontalDelay, 32, 3, 4, 8}, kAll},
    {{F::_stInputMiscSignal, 32, 0, 3, 0, kPack}, kAll},
    {{F::_stInputMiscSignal, 32, 0, 8, 0, kUnpack}, kAll},
    // Registers 36 to 39.
    {{F::_stHzThousandsReg0, 33, 0, 8, 0}, kAll},
    {{F::_stHzThousandsReg1, 34, 0, 8, 0}, kAll},
    {{F::_stHzThousandsReg2, 35, 0, 8, 0}, kAll},
    {{F::_audioControl, 36, 0, 8, 0}, kAll},
    // Register 41: vertical delay bits 11..10, Mardex's EDID and audio bits.
    {{F::_verticalDelay, 38, 6, 2, 10}, kAll},
    {{F::_edidSwitch, 38, 4, 1, 0}, kMardex},
    {{F::_audioDpSelectIndex, 38, 3, 1, 0}, kMardex},
    // Read only: the width and height the timing bytes give.
    {{F::_stInputHWidth, 25, 0, 8, 0, kUnpack}, kAll},
    {{F::_stInputHWidth, 24, 0, 4, 8, kUnpack}, kAll},
    {{F::_stInputVHeight, 29, 0, 8, 0, kUnpack}, kAll},
    {{F::_stInputVHeight, 30, 4, 4, 8, kUnpack}, kAll},
};

// Byte j is status register 44 + j.
constexpr BitsRow kMirrorBits[] = {
    {{F::_fpgaInputHStartLSB, 0, 0, 8, 0}, kAll},
    {{F::_fpgaInputHStartAndInputHWidthMSB, 1, 0, 8, 0}, kAll},
    {{F::_fpgaInputHWidthLSB, 2, 0, 8, 0}, kAll},
    {{F::_fpgaInputHTotalLSB, 3, 0, 8, 0}, kAll},
    {{F::_fpgaInputHTotalAndInputVStartMSB, 4, 0, 8, 0}, kAll},
    {{F::_fpgaInputVStartLSB, 5, 0, 8, 0}, kAll},
    {{F::_fpgaInputVHeightLSB, 6, 0, 8, 0}, kAll},
    {{F::_fpgaInputVHeightAndInputVTotalMSB, 7, 0, 8, 0}, kAll},
    {{F::_fpgaInputVTotalLSB, 8, 0, 8, 0}, kAll},
    {{F::_fpgaInputMiscSignal, 9, 0, 8, 0}, kAll},
    {{F::_fpgaHzThousandsReg0, 10, 0, 8, 0}, kAll},
    {{F::_fpgaHzThousandsReg1, 11, 0, 8, 0}, kAll},
    {{F::_fpgaHzThousandsReg2, 12, 0, 8, 0}, kAll},
    {{F::_fpgaInputHWidth, 2, 0, 8, 0}, kAll},
    {{F::_fpgaInputHWidth, 1, 0, 4, 8}, kAll},
    {{F::_fpgaInputVHeight, 6, 0, 8, 0}, kAll},
    {{F::_fpgaInputVHeight, 7, 4, 4, 8}, kAll},
    {{F::_procLimit, 13, 7, 1, 0}, kNotHestra},
    {{F::_statusReg59Bit5, 15, 5, 1, 0}, kNotHestra},
    {{F::_statusReg59Bit7, 15, 7, 1, 0}, kNotHestra},
};

constexpr std::size_t kImageRows = sizeof(kImageBits) / sizeof(kImageBits[0]);
constexpr std::size_t kMirrorRows = sizeof(kMirrorBits) / sizeof(kMirrorBits[0]);

// One model's rows, taken from the tables above.
struct ModelTables {
    std::array<FieldDef, RoiField::kCount> fields;
    std::array<FieldBits, kImageRows> image;
    std::size_t imageCount = 0;
    std::array<FieldBits, kMirrorRows> mirror;
    std::size_t mirrorCount = 0;
    BlockLayout layout;
    FieldMap mirrorMap;

    explicit ModelTables(unsigned model)
    {
        fields.fill(StatusField());
        for (const FieldRow& row : kFields)
            if (row.models & model)
                fields[std::size_t(row.field)] = row.def;
        for (const BitsRow& row : kImageBits)
            if (row.models & model)
                image[imageCount++] = row.bits;
        for (const BitsRow& row : kMirrorBits)
            if (row.models & model)
                mirror[mirrorCount++] = row.bits;
        layout = BlockLayout{CRoiScalerBlock::kImageBytes, CRoiScalerBlock::kFirstRegister,
                             RowList<FieldDef>{fields.data(), fields.size()},
                             FieldMap{RowList<FieldBits>{image.data(), imageCount}}};
        mirrorMap = FieldMap{RowList<FieldBits>{mirror.data(), mirrorCount}};
    }
    ModelTables(const ModelTables&) = delete;
    ModelTables& operator=(const ModelTables&) = delete;
};

const ModelTables& TablesOf(const roiscaler::RoiModel& model)
{
    const RowList<roiscaler::RoiModel> models = roiscaler::RoiModels();
    static_assert(kModelCount == 4, "one table per model");
    static const ModelTables tables[kModelCount] = {
        ModelTables(models.data[0].blockBit), ModelTables(models.data[1].blockBit),
        ModelTables(models.data[2].blockBit), ModelTables(models.data[3].blockBit)};
    for (std::size_t i = 0; i < kModelCount; ++i)
        if (models.data[i].blockBit == model.blockBit)
            return tables[i];
    return tables[0];
}

} // namespace

CRoiScalerBlock::CRoiScalerBlock(CCmdEngine* owner, UByte fpgaId, UByte blockId, const roiscaler::RoiModel& model)
    : RegisterBlock(owner, fpgaId, blockId, TablesOf(model).layout), _model(model)
{
}

const FieldMap& CRoiScalerBlock::MirrorMap() const
{
    return TablesOf(_model).mirrorMap;
}

int CRoiScalerBlock::ReadFromDevice(CCommProtocol& comm)
{
    if (RegisterBlock::ReadFromDevice(comm) == 0)
        return 0;
    UByte status[kMaxStatusRead];
    const UByte count = _model.statusReadCount <= kMaxStatusRead ? _model.statusReadCount : kMaxStatusRead;
    if (comm.ReadDeviceDataImmediate(kSpiControl, _fpgaId, kStatusRegister, status, count) == 0)
        UnpackImage(MirrorMap(), status, count, _values.data(), _values.size());
    return kImageBytes;
}

int CRoiScalerBlock::WriteToDevice(CCommProtocol& comm)
{
    return WriteBlock(comm, false);
}

int CRoiScalerBlock::StreamOutFPGA(CCommProtocol& comm) const
{
    return WriteBlock(comm, true);
}

int CRoiScalerBlock::WriteBlock(CCommProtocol& comm, bool toFpga) const
{
    UByte image[kImageBytes];
    Pack(image);
    if (toFpga)
        comm.WriteDeviceDataImmediate(kSpiControl, _fpgaId, kFirstRegister, image, UByte(kImageBytes));
    else
        comm.WriteConfigData(_fpgaId, _blockId, image, kImageBytes);
    const UByte followUp = UByte(PackRegister(kFollowUpRegister) | kFollowUpBit);
    return comm.WriteDeviceDataImmediate(kSpiControl, _fpgaId, kFollowUpRegister, &followUp, 1);
}

CHestra::CHestra(CCmdEngine* owner, UByte fpgaId, UByte blockId)
    : CRoiScalerBlock(owner, fpgaId, blockId, roiscaler::kHestraModel)
{
}

CMardex::CMardex(CCmdEngine* owner, UByte fpgaId, UByte blockId)
    : CRoiScalerBlock(owner, fpgaId, blockId, roiscaler::kMardexModel)
{
}

CPendro::CPendro(CCmdEngine* owner, UByte fpgaId, UByte blockId)
    : CRoiScalerBlock(owner, fpgaId, blockId, roiscaler::kPendroModel)
{
}

CQuastel::CQuastel(CCmdEngine* owner, UByte fpgaId, UByte blockId)
    : CRoiScalerBlock(owner, fpgaId, blockId, roiscaler::kQuastelModel)
{
}
