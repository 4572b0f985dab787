// The Gravo converter's configuration block: five bytes of output format,
// conversion, genlock, HDMI and audio settings.
#ifndef PORTVANE_MODELS_CGRAVO_H
#define PORTVANE_MODELS_CGRAVO_H

#include "blocksupport/registerblock.h"

// Int codes, but _add32Pulldown, a bool loaded with Qt's boolean reading.
struct GravoField {
    enum : int {
        _vidOutFormat,
        _add32Pulldown,
        _genlockMode,
        _upconvertMode,
        _downconvertMode,
        _aspectConvertMode,
        _hdmiProtocol,
        _hdmiColorSpace,
        _hdmiColorRange,
        _analogAudioOut,
        _hdmiAudioOut,
        _lossOfInputMode, // 0 or 1; defaults to 0
        kCount
    };
};

class CGravo : public RegisterBlock {
public:
    CGravo(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
