// The Brindo converter's configuration block: four bytes of output
// settings, each field the converter's own code.
#ifndef PORTVANE_MODELS_CBRINDO_H
#define PORTVANE_MODELS_CBRINDO_H

#include "blocksupport/registerblock.h"

// Every field an int code.
struct BrindoField {
    enum : int {
        _outputVideoFormat,
        _outputVideoDeepColor,
        _outputVideoColorRange,
        _outputFormat,
        _outputVideoMode,
        _outputFrameRate,
        _outputScaling,
        _outputSDFormat,
        _outputHDMIAudioChannels,
        _outputAnalogAudio,
        kCount
    };
};

class CBrindo : public RegisterBlock {
public:
    CBrindo(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
