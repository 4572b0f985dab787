#include "blocksupport/statusdecodingblock.h"

StatusDecodingBlock::StatusDecodingBlock(CCmdEngine* owner, UByte fpgaId, UByte blockId,
                                         const BlockLayout& layout, const FieldMap& status)
    : RegisterBlock(owner, fpgaId, blockId, layout), _status(status)
{
}

bool StatusDecodingBlock::DecodeStatus(const UByte* status, std::size_t length)
{
    if (!status || length < StatusLength())
        return false;
    UnpackImage(_status, status, length, _values.data(), _values.size());
    return true;
}

std::size_t StatusDecodingBlock::StatusLength() const
{
    return UnpackSpan(_status);
}
