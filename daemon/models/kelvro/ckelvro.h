// The Kelvro audio embedder's configuration block: 13 bytes from register
// 3, its settings in bytes 4 and 5; status fields decoded from the
// converter's status bytes.
#ifndef PORTVANE_MODELS_CKELVRO_H
#define PORTVANE_MODELS_CKELVRO_H

#include "blocksupport/statusdecodingblock.h"
#include "kelvro/embedderstatus.h"

// The status fields first, then the settings (int each).
struct KelvroField : EmbedderStatusField {
    enum : int {
        _disEmbChannels = EmbedderStatusField::kCount,
        _embChannels,
        _ch12Embed,
        _ch34Embed,
        _audLevel,
        _linkAB,
        _incomingEmbedded,
        kCount
    };
};

class CKelvro : public StatusDecodingBlock {
public:
    CKelvro(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
