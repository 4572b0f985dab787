// The configuration block of the four ROI scaler models: registers 3 to 43
// of the scaler FPGA (input and output regions, output format, background,
// genlock and delays, filters, audio, the input timing the FPGA is told to
// use, and on all but Hestra rotation, flips and frame delay), with the
// measured input timing of registers 44 to 59 as status mirrors.
//
// One implementation; the models differ only in their profile row:
// Hestra lacks the rotation, flip, frame-delay and ROI-save fields and the
// status bits of registers 57 and 59, Mardex adds the EDID and audio bits of
// register 41 and asks for 43 status bytes, Pendro and Quastel are alike.
// A field a model lacks is never packed, read or saved and stays 0.
//
//   CMardex* block = new CMardex(engine, 0, 0);
//   block->SetField(RoiField::_backColorY, 235);
//   engine->StreamOutConfigBlock(0, 0);
//   engine->WriteConfigBlock(0, 0);
#ifndef PORTVANE_ROISCALER_ROISCALERBLOCK_H
#define PORTVANE_ROISCALER_ROISCALERBLOCK_H

#include "common/registerblock.h"

// The block's fields: the configuration fields in the order of their
// settings keys, then the status mirrors.
struct RoiField {
    enum : int {
        _inputActivePixels,  // UWord, 12 bits used
        _inputActiveLines,   // UWord, 12 bits
        _inputHStartOffset,  // UWord, 12 bits
        _inputVStartOffset,  // UWord, 12 bits
        _outputActivePixels, // UWord, 12 bits
        _outputActiveLines,  // UWord, 12 bits
        _outputHStartOffset, // UWord, 12 bits
        _outputVStartOffset, // UWord, 12 bits
        _roiCtrl,            // UByte; bit 5 is _saveRoi on write (not Hestra)
        _saveRoi,            // bool (not Hestra)
        _sdiOutVideoCtrl,    // UByte: format code high nibble, rate code low
        _backColorCr,        // UByte
        _backColorY,         // UByte
        _backColorCb,        // UByte
        _genLockCtrl,        // UByte, 7 bits used
        _isSmpte,            // bool
        _swStateSelect,      // UByte: fit mode high nibble, constraint low
        _swStateSelect2,     // UByte (not Hestra)
        _stInputHStartLSB,   // the thirteen timing bytes the FPGA uses, UByte
        _stInputHStartAndInputHWidthMSB,
        _stInputHWidthLSB,
        _stInputHTotalLSB,
        _stInputHTotalAndInputVStartMSB,
        _stInputVStartLSB,
        _stInputVHeightLSB,
        _stInputVHeightAndInputVTotalMSB,
        _stInputVTotalLSB,
        _stInputMiscSignal, // bits 2..0 written; the whole register read
        _stHzThousandsReg0,
        _stHzThousandsReg1,
        _stHzThousandsReg2,
        _audioControl,       // UByte
        _horizontalDelay,    // UWord, 12 bits
        _verticalDelay,      // UWord, 12 bits
        _sharpBlanking,      // bool
        _flickerFiltering,   // bool
        _rotation,           // int, 2 bits used (not Hestra)
        _verticalFlip,       // bool (not Hestra)
        _horizontalFlip,     // bool (not Hestra)
        _frameDelay,         // bool (not Hestra)
        _edidSwitch,         // bool (Mardex only)
        _audioDpSelectIndex, // bool (Mardex only)
        // Status mirrors: filled by ReadFromDevice only, never written or saved.
        _stInputHWidth,  // int: register 28 | (27 & 0x0F) << 8
        _stInputVHeight, // int: register 32 | (33 >> 4) << 8
        _procLimit,      // bool: status register 57 bit 7 (not Hestra)
        _fpgaInputHStartLSB, // the thirteen measured timing bytes, status 44 to 56
        _fpgaInputHStartAndInputHWidthMSB,
        _fpgaInputHWidthLSB,
        _fpgaInputHTotalLSB,
        _fpgaInputHTotalAndInputVStartMSB,
        _fpgaInputVStartLSB,
        _fpgaInputVHeightLSB,
        _fpgaInputVHeightAndInputVTotalMSB,
        _fpgaInputVTotalLSB,
        _fpgaInputMiscSignal,
        _fpgaHzThousandsReg0,
        _fpgaHzThousandsReg1,
        _fpgaHzThousandsReg2,
        _fpgaInputHWidth,  // int: status 46 | (45 & 0x0F) << 8
        _fpgaInputVHeight, // int: status 50 | (51 >> 4) << 8
        _statusReg59Bit5,  // bool: status register 59 bit 5 (not Hestra)
        _statusReg59Bit7,  // bool: status register 59 bit 7 (not Hestra)
        kCount
    };
};

// What sets one ROI scaler model apart.
struct RoiProfile {
    const char* name;       // "Hestra"
    int moduleType;         // 5, 14, 18, 19
    unsigned modelBit;      // the model's bit in the field and bit tables
    UByte statusReadCount;  // bytes asked for at status register 44
    UWord settingsKeys;     // keys SaveSettings writes
};

// The four profiles, in module-type order.
RowList<RoiProfile> RoiProfiles();
// The profile of a module type; null for a type that is no ROI scaler.
const RoiProfile* FindRoiProfile(int moduleType);

class CRoiScalerBlock : public RegisterBlock {
public:
    static constexpr UWord kImageBytes = 41;      // registers 3 to 43
    static constexpr UWord kFirstRegister = 3;
    static constexpr UByte kSpiControl = 1;       // interface of the register writes
    static constexpr UByte kFollowUpRegister = 23;
    static constexpr UByte kFollowUpBit = 0x10;   // set in the follow-up write only
    static constexpr UByte kStatusRegister = 44;  // first status mirror register
    static constexpr UByte kMaxStatusRead = 43;

    CRoiScalerBlock(CCmdEngine* owner, UByte fpgaId, UByte blockId, const RoiProfile& profile);

    const RoiProfile& Profile() const { return _profile; }

    // The configuration read, then the status mirrors from the registers
    // from 44 up. 0 (nothing changed) when the configuration read fails;
    // else 41, the mirrors unchanged when their read fails.
    int ReadFromDevice(CCommProtocol& comm) override;
    // WriteBlock into configuration memory.
    int WriteToDevice(CCommProtocol& comm) override;
    // WriteBlock into the FPGA's live registers.
    int StreamOutFPGA(CCommProtocol& comm) const override;
    bool StreamsToFPGA() const override { return true; }

    // The 41-byte image, as configuration data (toFpga false) or as a
    // register write at register 3 (toFpga true); then, whatever that
    // returned, register 23 once more with bit 4 set. The status of the
    // last write.
    virtual int WriteBlock(CCommProtocol& comm, bool toFpga) const;

    // The status mirror rows of the model, over the bytes read from
    // register 44 (byte j = register 44 + j).
    const FieldMap& MirrorMap() const;

private:
    const RoiProfile& _profile;
};

// The four models.
class CHestra : public CRoiScalerBlock {
public:
    CHestra(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

class CMardex : public CRoiScalerBlock {
public:
    CMardex(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

class CPendro : public CRoiScalerBlock {
public:
    CPendro(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

class CQuastel : public CRoiScalerBlock {
public:
    CQuastel(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
