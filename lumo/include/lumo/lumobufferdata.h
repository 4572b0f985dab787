// Byte buffers for media data. The storage comes from the library's pool
// front (page aligned), and a process-wide counter keeps the bytes held by
// all buffers. Every copy of a LumoBuffer shares one LumoBufferData.
#ifndef LUMO_LUMOBUFFERDATA_H
#define LUMO_LUMOBUFFERDATA_H

#include <QExplicitlySharedDataPointer>
#include <QSharedData>

#include "lumo/lumoglobal.h"

class LUMO_EXPORT LumoBufferData : public QSharedData {
public:
    // A size of 0 allocates nothing. A failed allocation is logged and
    // leaves an empty buffer (null data, size and capacity 0).
    LumoBufferData(unsigned int size, unsigned int userValue = 0);
    ~LumoBufferData();

    LumoBufferData(LumoBufferData const&) = delete;
    LumoBufferData& operator=(LumoBufferData const&) = delete;

    // Bytes of storage held by all buffers of the process.
    static qint64 bytesInUse();

    // False (logged) when n exceeds the capacity; the size is then kept.
    bool setSize(unsigned int n);
    // Both test n against the capacity, copy nothing when it is larger,
    // and leave the size alone.
    bool copyFromExtBuffer(void const* src, unsigned int n);
    bool copyToExtBuffer(void* dst, unsigned int n);

    void* allocation;
    unsigned char* data;
    quint32 size;
    quint32 capacity;
    quint32 userValue; // stored for the owner; never read here
};

class LUMO_EXPORT LumoBuffer {
public:
    LumoBuffer() = default;
    explicit LumoBuffer(unsigned int size, unsigned int userValue = 0) : d(new LumoBufferData(size, userValue)) {}

    bool isNull() const { return !d; }
    LumoBufferData* operator->() const { return d.data(); }
    LumoBufferData* data() const { return d.data(); }

private:
    QExplicitlySharedDataPointer<LumoBufferData> d;
};

#endif
