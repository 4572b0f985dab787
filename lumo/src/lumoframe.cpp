#include "lumo/lumoframe.h"

LumoAttachment::~LumoAttachment() = default;

LumoImageData::LumoImageData(LumoImageData const& other)
    : QSharedData(other), desc(other.desc), crypto(other.crypto), buffers(other.buffers), attachment(nullptr)
{
}

LumoImageData::~LumoImageData()
{
    delete attachment;
}

void LumoFrame::setMetadata(LumoId id, QVariant const& value)
{
    (*this)->metadata.insert(id, LumoMetadata(id, value));
}

QVariant LumoFrame::metadata(LumoId id) const
{
    return (*this)->metadata.value(id).value;
}
