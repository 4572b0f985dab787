// The Jastel LUT converter's configuration block: 32 bytes from register 3
// of video input and output formats, SDI output options, LUT enables and
// bank selects, audio routing, delay and channel pairs. A write puts the
// image into the converter's registers first, then into its configuration
// memory.
//
//   CJastel* block = new CJastel(engine, 0, 0);
//   block->SetField(JastelField::_enable3DLut, 1);
//   engine->WriteConfigBlock(0, 0);
#ifndef PORTVANE_MODELS_CJASTEL_H
#define PORTVANE_MODELS_CJASTEL_H

#include "blocksupport/registerblock.h"

// In the order of their settings keys: int codes, but the UByte
// _outputAudioDelay and channel pairs; the two fields of byte 5 last, not
// saved.
struct JastelField {
    enum : int {
        _inputVideoFormat,
        _inputVideoBitDepth,
        _inputVideoColor,
        _inputVideoRGBRange,
        _enable3DLut,
        _lut3dBankSelect,
        _enable1DLut,
        _lut1dBankSelect,
        _outputVideoBitDepth,
        _outputVideoRGBRange, // older settings: "_outputVideoColorRange"
        _outputVideoMode,
        _videoSource,
        _outputVideo2K,
        _sdiOutputVideoRGBRange, // older settings: "_sdiOutputVideoColorRange"
        _sdiOutPsFMode,
        _sdiOutPassThrough,
        _sdiOut3GLevelB,
        _outputAudioDelay,
        _inputAudioChannelSource,
        _inputAudioSDISource,
        _outputAudioChannels,
        _analogAudioSelect,
        _delayedAudIn1ChPair,
        _delayedAudIn2ChPair,
        _delayedAudIn3ChPair,
        _delayedAudIn4ChPair,
        _audIn1ChPair,
        _audIn2ChPair,
        _audIn3ChPair,
        _audIn4ChPair,
        _lutInputColorRange,
        _lutOutputColorRange,
        _byte5Bits1to0,
        _byte5Bits3to2,
        kCount
    };
};

class CJastel : public RegisterBlock {
public:
    static constexpr UByte kSpiControl = 1; // interface of the register write
    static constexpr UByte kFirstRegister = 3;

    CJastel(CCmdEngine* owner, UByte fpgaId, UByte blockId);

    // The image as a register write from register 3 (its result not looked
    // at), then as configuration data; the status of the latter.
    int WriteToDevice(CCommProtocol& comm) override;
};

#endif
