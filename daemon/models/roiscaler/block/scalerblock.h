// The configuration block of the four ROI scaler models: registers 3 to 43
// of the scaler FPGA (input and output regions, output format, background,
// genlock and delays, filters, audio, the input timing the FPGA is told to
// use, and on all but Hestra rotation, flips and frame delay), with the
// measured input timing of registers 44 to 59 as status mirrors.
//
// One implementation; the models differ only in their row (model/models.h):
// Hestra lacks the rotation, flip, frame-delay and ROI-save fields and the
// status bits of registers 57 and 59, Mardex adds the EDID and audio bits of
// register 41 and asks for 43 status bytes, Pendro and Quastel are alike.
// A field a model lacks is never packed, read or saved and stays 0.
//
//   CMardex* block = new CMardex(engine, 0, 0);
//   block->SetField(RoiField::_backColorY, 235);
//   engine->StreamOutConfigBlock(0, 0);
//   engine->WriteConfigBlock(0, 0);
#ifndef PORTVANE_ROISCALER_BLOCK_SCALERBLOCK_H
#define PORTVANE_ROISCALER_BLOCK_SCALERBLOCK_H

#include "blocksupport/registerblock.h"
#include "roiscaler/model/fields.h"
#include "roiscaler/model/models.h"

class CRoiScalerBlock : public RegisterBlock {
public:
    static constexpr UWord kImageBytes = 41;      // registers 3 to 43
    static constexpr UWord kFirstRegister = 3;
    static constexpr UByte kSpiControl = 1;       // interface of the register writes
    static constexpr UByte kFollowUpRegister = 23;
    static constexpr UByte kFollowUpBit = 0x10;   // set in the follow-up write only
    static constexpr UByte kStatusRegister = 44;  // first status mirror register
    static constexpr UByte kMaxStatusRead = 43;

    CRoiScalerBlock(CCmdEngine* owner, UByte fpgaId, UByte blockId, const roiscaler::RoiModel& model);

    const roiscaler::RoiModel& Model() const { return _model; }

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
    const roiscaler::RoiModel& _model;
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
