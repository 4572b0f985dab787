// A register block that also turns the converter's status bytes into
// status fields: a second field map, over the status bytes the caller
// hands in, with the same rows and codes as the configuration image.
#ifndef PORTVANE_MODELS_STATUSDECODINGBLOCK_H
#define PORTVANE_MODELS_STATUSDECODINGBLOCK_H

#include <cstddef>

#include "blocksupport/registerblock.h"

class StatusDecodingBlock : public RegisterBlock {
public:
    // status: static data of the model, like the layout.
    StatusDecodingBlock(CCmdEngine* owner, UByte fpgaId, UByte blockId, const BlockLayout& layout,
                        const FieldMap& status);

    // Sets every status field from the first length bytes of status. A null
    // array, or one shorter than StatusLength(), is refused: false, and no
    // field changes.
    virtual bool DecodeStatus(const UByte* status, std::size_t length);
    // The status bytes the decoding reads.
    std::size_t StatusLength() const;
    const FieldMap& StatusMap() const { return _status; }

private:
    const FieldMap& _status;
};

#endif
