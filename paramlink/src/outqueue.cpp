#include "outqueue.h"

#include <algorithm>

#include "wireformat.h"

namespace paramlink {

namespace {

// Frames the store made itself: the length and id are there.
std::uint32_t get32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return (std::uint32_t(u[0]) << 24) | (std::uint32_t(u[1]) << 16) | (std::uint32_t(u[2]) << 8) | u[3];
}

size_t frameLength(const char* frame) { return wire::kLengthBytes + get32(frame); }

std::uint32_t eventId(const char* frame) { return get32(frame + wire::kEventIdOffset); }

// Past this many bytes sent, the front of the queue is let go.
const size_t kCompactAt = 64 * 1024;

} // namespace

void OutQueue::AppendEvents(const char* frames, size_t length, size_t limit)
{
    if (!Conflating() && (Size() == 0 || Size() + length <= limit)) {
        _out.append(frames, length);
        return;
    }
    for (size_t pos = 0; pos < length;) {
        const size_t n = frameLength(frames + pos);
        if (!Conflating() && (Size() == 0 || Size() + n <= limit))
            _out.append(frames + pos, n);
        else
            conflate(frames + pos, n);
        pos += n;
    }
}

void OutQueue::conflate(const char* frame, size_t length)
{
    const std::uint32_t id = eventId(frame);
    auto it = _latestIndex.find(id);
    if (it == _latestIndex.end()) {
        _latestIndex.emplace(id, _latest.size());
        _latest.emplace_back(frame, length);
        _latestBytes += length;
        return;
    }
    std::string& kept = _latest[it->second];
    _latestBytes = _latestBytes - kept.size() + length;
    kept.assign(frame, length);
    ++_replaced;
}

void OutQueue::releaseConflated()
{
    for (const std::string& frame : _latest)
        _out.append(frame);
    _latest.clear();
    _latestIndex.clear();
    _latestBytes = 0;
}

void OutQueue::AppendReply(const std::string& frame)
{
    releaseConflated();
    _out.append(frame);
}

void OutQueue::Consumed(size_t n, size_t limit)
{
    _sent += std::min(n, Size());
    if (Size() == 0) {
        _out.clear();
        _sent = 0;
        // Give back what a burst needed.
        if (_out.capacity() > kCompactAt)
            std::string().swap(_out);
    } else if (_sent >= kCompactAt && _sent >= Size()) {
        _out.erase(0, _sent);
        _sent = 0;
    }
    if (Conflating() && Size() <= limit / 2)
        releaseConflated();
}

void ConflateEvents(std::string& blob)
{
    std::unordered_map<std::uint32_t, size_t> last;
    std::vector<std::pair<size_t, size_t>> frames;
    for (size_t pos = 0; pos + wire::kLengthBytes <= blob.size();) {
        const size_t n = frameLength(blob.data() + pos);
        last[eventId(blob.data() + pos)] = frames.size();
        frames.emplace_back(pos, n);
        pos += n;
    }
    std::string kept;
    for (size_t i = 0; i < frames.size(); ++i)
        if (last[eventId(blob.data() + frames[i].first)] == i)
            kept.append(blob, frames[i].first, frames[i].second);
    blob.swap(kept);
}

} // namespace paramlink
