#include "heaptrimmer.h"

#include <QTimer>

#include <malloc.h>

HeapTrimmer::HeapTrimmer(QObject* parent) : QObject(parent), _timer(new QTimer(this)), _trims(0)
{
    connect(_timer, &QTimer::timeout, this, &HeapTrimmer::Check);
    _timer->start(kCheckMs);
}

bool HeapTrimmer::ShouldTrim(qint64 freeBytes)
{
    return freeBytes >= kTrimFromBytes;
}

qint64 HeapTrimmer::FreeHeapBytes()
{
    return qint64(::mallinfo2().fordblks);
}

void HeapTrimmer::Check()
{
    if (!ShouldTrim(FreeHeapBytes()))
        return;
    ::malloc_trim(0);
    ++_trims;
}
