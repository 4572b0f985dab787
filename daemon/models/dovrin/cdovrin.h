// The Dovrin HDR converter's configuration block: registers 3 to 44 of
// input, output and audio settings, the HDR switch and the HDR static
// metadata (bytes 14 to 39, laid out as the dynamic range and mastering
// InfoFrame's data bytes, static metadata type 1). The primaries and white
// point are also kept as decimal text, which only settings save and load.
#ifndef PORTVANE_MODELS_CDOVRIN_H
#define PORTVANE_MODELS_CDOVRIN_H

#include "blocksupport/registerblock.h"

// Int codes, but _outputAudioDelay (UByte), the bools
// _outputVideoDitherMode, _HdrEnabled and _register7Bit1, the unsigned
// metadata values (the register holds their low 16 bits) and the texts
// (RegisterBlock::Text).
struct DovrinField {
    enum : int {
        _inputVideoFormat,
        _inputVideoBitDepth,
        _inputVideoColor,
        _inputVideoRGBRange,
        _inputLinkMode, // older settings: "_input3G_BMode"
        _inputMapping,
        _outputVideoFormat,
        _outputVideoBitDepth,
        _outputVideoRGBRange, // older settings: "_outputVideoColorRange"
        _outputVideoMode,
        _outputAudioDelay,
        _outputUHDFrameSpec,
        _videoSource,
        _outputVideo2K,
        _outputVideoDitherMode,
        _inputAudioSDISource,
        _inputAudioChannelSource,
        _outputAudioChannels,
        _HdrEnabled,
        _register7Bit1, // not saved
        _colorimetry,
        _Eotf,
        _digitalPrimariesX0, // in units of 0.00002; not saved
        _digitalPrimariesX1,
        _digitalPrimariesX2,
        _digitalPrimariesY0,
        _digitalPrimariesY1,
        _digitalPrimariesY2,
        _whitePointX,
        _whitePointY,
        _maxDispLum, // 1 cd/m2
        _minDispLum, // 0.0001 cd/m2
        _maxCll,
        _maxFall,
        _savedDigitalPrimariesX0, // text, five decimals
        _savedDigitalPrimariesX1,
        _savedDigitalPrimariesX2,
        _savedDigitalPrimariesY0,
        _savedDigitalPrimariesY1,
        _savedDigitalPrimariesY2,
        _savedWhitePointX,
        _savedWhitePointY,
        kCount
    };
};

class CDovrin : public RegisterBlock {
public:
    CDovrin(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
