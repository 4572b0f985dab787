#include "trimpacer.h"

#include <algorithm>

namespace paramlink {

bool TrimPacer::Due(long long held, long long now)
{
    _peak = std::max(_peak, held);
    if (_peak - held >= kFreedBytes)
        _pending = true;
    return _pending && WaitMs(now) == 0;
}

void TrimPacer::Trimmed(long long held, long long now)
{
    _pending = false;
    _peak = held;
    _trimmed = true;
    _lastTrimMs = now;
}

int TrimPacer::WaitMs(long long now) const
{
    if (!_pending)
        return -1;
    if (!_trimmed)
        return 0;
    return int(std::max(0LL, std::min<long long>(kSpacingMs, _lastTrimMs + kSpacingMs - now)));
}

} // namespace paramlink
