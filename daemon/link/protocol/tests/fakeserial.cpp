#include "fakeserial.h"

#include <algorithm>
#include <cstring>

int FakeSerial::Read(unsigned char* buffer, std::uint32_t length)
{
    while (!_input.empty() && !_input.front().error && _input.front().bytes.empty())
        _input.pop_front();
    if (_input.empty())
        return 0;
    Burst& burst = _input.front();
    if (burst.error) {
        _input.pop_front();
        return -1;
    }
    const size_t n = std::min<size_t>(length, burst.bytes.size());
    if (n > 0)
        std::memcpy(buffer, burst.bytes.data(), n);
    burst.bytes.erase(burst.bytes.begin(), burst.bytes.begin() + long(n));
    if (burst.bytes.empty())
        _input.pop_front();
    return int(n);
}

bool FakeSerial::Write(const unsigned char* buffer, std::int32_t length)
{
    if (_failWrites)
        return false;
    _events += 'W';
    _writes.emplace_back(buffer, buffer + length);
    if (!_replies.empty()) {
        for (const Burst& burst : _replies.front())
            _input.push_back(burst);
        _replies.pop_front();
    }
    return true;
}

int FakeSerial::Flush()
{
    _events += 'F';
    _input.clear();
    return 0;
}

size_t FakeSerial::Pending() const
{
    size_t n = 0;
    for (const Burst& burst : _input)
        n += burst.bytes.size();
    return n;
}

Bytes ResponseWithLength(unsigned char code, unsigned length, unsigned char status,
                         const Bytes& payload)
{
    Bytes out{code, static_cast<unsigned char>(length >> 8), static_cast<unsigned char>(length),
              status};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes Response(unsigned char code, unsigned char status, const Bytes& payload)
{
    return ResponseWithLength(code, unsigned(payload.size() + 4), status, payload);
}

Bytes Concat(const Bytes& a, const Bytes& b)
{
    Bytes out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}
