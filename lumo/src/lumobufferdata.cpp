#include "lumo/lumobufferdata.h"

#include "lumobufferdata_p.h"

#include <atomic>
#include <cstring>

#include <QMutex>
#include <QMutexLocker>

#include "lumo/lumo.h"
#include "lumo/lumolog.h"

namespace {

const QString kUnit = QStringLiteral("lumobufferdata");

QMutex gCounterMutex;
qint64 gBytesInUse = 0;

std::atomic<LumoBufferAllocator> gAllocator{nullptr};

void count(qint64 delta)
{
    QMutexLocker lock(&gCounterMutex);
    gBytesInUse += delta;
}

} // namespace

void lumoBufferSetAllocator(LumoBufferAllocator allocator)
{
    gAllocator = allocator;
}

LumoBufferData::LumoBufferData(unsigned int size, unsigned int userValue)
    : allocation(nullptr), data(nullptr), size(size), capacity(size), userValue(userValue)
{
    if (capacity == 0)
        return;
    const LumoBufferAllocator allocate = gAllocator.load();
    allocation = allocate ? allocate(capacity) : Lumo::poolAllocate(capacity);
    if (!allocation) {
        lumoLogOutput(1, kUnit, __LINE__, "LumoBuffer allocate of %zd bytes failed\n", size_t(capacity));
        this->size = 0;
        capacity = 0;
        return;
    }
    data = static_cast<unsigned char*>(allocation);
    count(capacity);
}

LumoBufferData::~LumoBufferData()
{
    Lumo::poolFree(allocation);
    count(-qint64(capacity));
}

qint64 LumoBufferData::bytesInUse()
{
    QMutexLocker lock(&gCounterMutex);
    return gBytesInUse;
}

bool LumoBufferData::setSize(unsigned int n)
{
    if (n > capacity) {
        lumoLogOutput(1, kUnit, __LINE__, "Can't set buffer size to 0x%X, capacity is only 0x%X\n", n, capacity);
        return false;
    }
    size = n;
    return true;
}

bool LumoBufferData::copyFromExtBuffer(void const* src, unsigned int n)
{
    if (n > capacity)
        return false;
    if (n)
        memcpy(data, src, n);
    return true;
}

bool LumoBufferData::copyToExtBuffer(void* dst, unsigned int n)
{
    if (n > capacity)
        return false;
    if (n)
        memcpy(dst, data, n);
    return true;
}
