// The Lomrik audio embedder's configuration block: 13 bytes from register
// 3, its settings in bytes 4 to 6; status fields decoded from the
// converter's status bytes as Kelvro's are.
#ifndef PORTVANE_MODELS_CLOMRIK_H
#define PORTVANE_MODELS_CLOMRIK_H

#include "blocksupport/statusdecodingblock.h"
#include "kelvro/embedderstatus.h"

// The status fields first, then the settings (int each).
struct LomrikField : EmbedderStatusField {
    enum : int {
        _disEmbChannels = EmbedderStatusField::kCount,
        _embChannels,
        _ch78Embed,
        _ch56Embed,
        _ch34Embed,
        _ch12Embed,
        _linkAB,
        _incomingEmbedded,
        _srcCh12, // 0, 1 or 2, coded in two bits of byte 6
        _srcCh34,
        _srcCh56,
        _srcCh78,
        kCount
    };
};

class CLomrik : public StatusDecodingBlock {
public:
    CLomrik(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
