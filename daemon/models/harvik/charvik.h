// The Harvik converter's configuration block: 13 bytes from register 3,
// its audio and video settings in bytes 3 and 4; status fields decoded from
// the converter's status bytes 4 to 12.
#ifndef PORTVANE_MODELS_CHARVIK_H
#define PORTVANE_MODELS_CHARVIK_H

#include "blocksupport/statusdecodingblock.h"

// Settings (int) in the order of their keys, then the status fields: int,
// but the bools named Bit and the UByte bytes and _status5Bits3to2.
struct HarvikField {
    enum : int {
        _swEmbedG3G4,
        _swChPair10,
        _swSourceSelect,
        _swSrcBypass,
        _swSuppressEmb,
        _swMuteHdmi,
        _swMuteAll,
        _enablePtoPsF,
        _3GMode,
        _rgbRange,
        _status9Bit7,
        _status9Bits6to4,
        _status9Bits3to0,
        _status8Byte,
        _status5Bit1,
        _status5Bits3to2,
        _status12Bit7,
        _status12Bits6to4,
        _status12Bits3to0,
        _status4Byte,
        kCount
    };
};

class CHarvik : public StatusDecodingBlock {
public:
    CHarvik(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
