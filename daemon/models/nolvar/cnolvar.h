// The Nolvar converter's configuration block: 15 bytes from register 3,
// its settings in bytes 1, 3, 4 and 7; status fields decoded from 111
// status bytes.
#ifndef PORTVANE_MODELS_CNOLVAR_H
#define PORTVANE_MODELS_CNOLVAR_H

#include "blocksupport/statusdecodingblock.h"

// Settings (int), then the status fields: int, but the bools named Bit
// (except _status20Bit2, an int) and the UByte _status18Bits2to0 and
// _status18Bit6.
struct NolvarField {
    enum : int {
        _inputRGBRange,
        _outputColorSpace,
        _outputRGBRange,
        _output3GSDIMode,
        _output2kCenterCut,
        _outputDaFunction,
        _outputEnablePtoPsF,
        _outputLFR,
        _genlock,
        _outputMapping,
        _audioSRC,
        _audioEmbedToSDI,
        _status16Bit7,
        _status17Bits3to0,
        _status16Bit5,
        _status16Bit4,
        _status16Bits3to0,
        _status17Bits7to6,
        _status17Bits5to4,
        _status18Bits5to3,
        _status18Bits2to0,
        _status18Bit6,
        _status17Group, // 0 unless byte 16 bit 7; then 1, 2, 3 for 0-1, 2-3, 4 in byte 17 bits 3..0
        _status20Bit4,
        _status20Bit5,
        _status20Bit6,
        _status20Bit7,
        _status20Bit2,
        _status20Bits1to0,
        _status21Bits3to0,
        _status22Bit4,
        _status22Bits3to0,
        _status21Bits7to6,
        _status21Bits5to4,
        _status23Bits5to3,
        _status23Bits2to0,
        _status20Bit3,
        _status19Bits1to0,
        _status22Bit6,
        _status19Bits3to2,
        _status109Bit7,
        _status110Bits4to0,
        _status81Bits2to0,
        _statusWords, // twelve 16-bit values: _statusWords + 0 to + 11
        kCount = _statusWords + 12
    };
};

class CNolvar : public StatusDecodingBlock {
public:
    CNolvar(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
