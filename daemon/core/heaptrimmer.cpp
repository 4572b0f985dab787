#include "heaptrimmer.h"

#include <QTimer>

HeapTrimmer::HeapTrimmer(QObject* parent) : QObject(parent), _timer(new QTimer(this)), _trims(0)
{
    connect(_timer, &QTimer::timeout, this, &HeapTrimmer::Check);
    _timer->start(kCheckMs);
}

bool HeapTrimmer::ShouldTrim(qint64 freeBytes) { return freeBytes >= 0 && heaptrim::ShouldTrim(size_t(freeBytes)); }

qint64 HeapTrimmer::FreeHeapBytes() { return qint64(heaptrim::FreeHeapBytes()); }

void HeapTrimmer::Check()
{
    if (heaptrim::TrimIfWorth())
        ++_trims;
}
