// The Ilmaro converter's configuration block: 32 bytes from register 3 of
// video input and output formats, audio routing, delay and channel pairs.
#ifndef PORTVANE_MODELS_CILMARO_H
#define PORTVANE_MODELS_CILMARO_H

#include "blocksupport/registerblock.h"

// In the order of their settings keys: int codes, but the UByte
// _outputVideoDitherMode, _outputAudioDelay and channel pairs.
struct IlmaroField {
    enum : int {
        _inputVideoFormat,
        _inputVideoBitDepth,
        _inputVideoColor,
        _inputVideoRGBRange,
        _inputLinkMode, // older settings: "_input3G_BMode"
        _outputVideoFormat,
        _outputVideoBitDepth,
        _outputVideoRGBRange, // older settings: "_outputVideoColorRange"
        _outputVideoMode,
        _videoSource,
        _outputVideo2K,
        _outputVideoDitherMode,
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
        kCount
    };
};

class CIlmaro : public RegisterBlock {
public:
    CIlmaro(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
