// The Cadmer converter's configuration block: three bytes of 3D input,
// colour and audio settings, each field the converter's own code.
#ifndef PORTVANE_MODELS_CCADMER_H
#define PORTVANE_MODELS_CCADMER_H

#include "blocksupport/registerblock.h"

// Every field an int code.
struct CadmerField {
    enum : int {
        _hdmi3dMode, // four bits: 1..0 in byte 0 bits 1..0, 3..2 in bits 7..6
        _inputFlipLeft,
        _inputFlipRight,
        _protocol,
        _swapInputs,
        _toggleSwitch8,
        _colorSpace,
        _colorRange,
        _hdmiVideoSelect,
        _lrSynchronizer, // its bit is set only for exactly 1
        _analogAudioOut,
        _hdmiAudioOut,
        kCount
    };
};

class CCadmer : public RegisterBlock {
public:
    CCadmer(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
