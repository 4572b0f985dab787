#include "convsim/framesplitter.h"

#include <algorithm>

namespace convsim {

void FrameSplitter::Feed(const uint8_t* data, size_t n, int64_t nowMs)
{
    if (_head > 0 && _head >= _buf.size() / 2) {
        _buf.erase(_buf.begin(), _buf.begin() + long(_head));
        _staleEnd = _staleEnd > _head ? _staleEnd - _head : 0;
        _head = 0;
    }
    // Bytes that went stale before these arrived stay stale.
    if (n > 0 && Pending() > 0 && nowMs - _lastByteMs >= _gapMs)
        _staleEnd = _buf.size();
    const size_t room = kCapacity - std::min(kCapacity, _buf.size());
    const size_t take = std::min(room, n);
    _buf.insert(_buf.end(), data, data + take);
    _dropped += n - take;
    if (n > 0)
        _lastByteMs = nowMs;
}

void FrameSplitter::Drop(size_t n)
{
    _head += n;
    _dropped += n;
    if (_head == _buf.size()) {
        _buf.clear();
        _head = 0;
        _staleEnd = 0;
    }
}

bool FrameSplitter::Next(Bytes& frame, int64_t nowMs)
{
    const bool allStale = nowMs - _lastByteMs >= _gapMs;
    for (;;) {
        const size_t have = Pending();
        const bool stale = allStale || _head < _staleEnd;
        if (have < kCommandHeader) {
            if (have > 0 && allStale)
                Drop(have);
            else if (have > 0 && stale)
                Drop(1);
            else
                return false;
            continue;
        }
        const uint8_t* p = _buf.data() + _head;
        const size_t length = Get16(p + 1);
        if (length < kCommandHeader) {
            Drop(1);
            continue;
        }
        // A frame begun before a stale gap and finished after it was
        // incomplete when it went stale.
        const bool spansGap = _head < _staleEnd && _head + length > _staleEnd;
        if (have >= length && !spansGap) {
            frame.assign(p, p + length);
            _head += length;
            if (_head == _buf.size()) {
                _buf.clear();
                _head = 0;
                _staleEnd = 0;
            }
            return true;
        }
        if (!stale)
            return false;
        Drop(1);
    }
}

int64_t FrameSplitter::MsUntilStale(int64_t nowMs) const
{
    if (Pending() == 0)
        return -1;
    return std::max<int64_t>(0, _lastByteMs + _gapMs - nowMs);
}

void FrameSplitter::Reset()
{
    _dropped += Pending();
    _buf.clear();
    _head = 0;
    _staleEnd = 0;
}

} // namespace convsim
