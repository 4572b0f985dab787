// The Arvel converter's configuration block (CIdrel): four bytes of input
// and output settings, each field the converter's own code.
#ifndef PORTVANE_MODELS_CIDREL_H
#define PORTVANE_MODELS_CIDREL_H

#include "blocksupport/registerblock.h"

// Int codes, but _output2KCenterCutIsOn, a bool written inverted.
struct IdrelField {
    enum : int {
        _inputVideoFormat,
        _inputVideoBitDepth,
        _inputVideoColor,
        _inputVideoColorRange,
        _input3G_BMode,
        _inputForceSingleLink,
        _outputVideoFormat,
        _outputVideoBitDepth,
        _outputVideoColorRange,
        _outputVideoMode,
        _output2xHDChannel,
        _output2KCenterCutIsOn,
        _outputHDMIAudioChannels,
        _outputAnalogAudio,
        kCount
    };
};

class CIdrel : public RegisterBlock {
public:
    CIdrel(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
