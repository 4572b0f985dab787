// The Estrow converter's configuration block: registers 3 to 17 of input,
// output, conversion and audio settings.
#ifndef PORTVANE_MODELS_CESTROW_H
#define PORTVANE_MODELS_CESTROW_H

#include "blocksupport/registerblock.h"

// Int codes, but _outputAudioDelay (UByte) and the bools
// _outputVideoDitherMode and _p2iEnable.
struct EstrowField {
    enum : int {
        _inputVideoFormat,
        _inputVideoBitDepth,
        _inputVideoColor,
        _inputVideoRGBRange,
        _inputLinkMode, // older settings: "_input3G_BMode"
        _inputMapping,
        _output4kCvtMode,
        _outputVideo2K,
        _edgeFiltering,
        _outputSdiPassthrough,
        _outputSdi3gMode,
        _outputVideoFormat,
        _outputVideoBitDepth,
        _outputVideoRGBRange, // older settings: "_outputVideoColorRange"
        _outputVideoMode,
        _outputAudioDelay,
        _videoSource,
        _outputVideoDitherMode,
        _inputAudioSDISource,
        _inputAudioChannelSource,
        _outputAudioChannels,
        _p2iEnable,
        kCount
    };
};

class CEstrow : public RegisterBlock {
public:
    CEstrow(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
