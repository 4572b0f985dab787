#include "scriptedserial.h"

#include <algorithm>
#include <cstring>

namespace tovik {
namespace test {

int ScriptedSerial::Read(unsigned char* buffer, std::uint32_t length)
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

bool ScriptedSerial::Write(const unsigned char* buffer, std::int32_t length)
{
    if (_failWrites)
        return false;
    _events += 'W';
    const Bytes packet(buffer, buffer + length);
    _writes.push_back(packet);
    if (!_replies.empty()) {
        for (const Burst& burst : _replies.front())
            _input.push_back(burst);
        _replies.pop_front();
    } else if (_responder) {
        _input.push_back(Burst{_responder(packet), false});
    }
    return true;
}

int ScriptedSerial::Flush()
{
    _events += 'F';
    _input.clear();
    return 0;
}

size_t ScriptedSerial::Pending() const
{
    size_t n = 0;
    for (const Burst& burst : _input)
        n += burst.bytes.size();
    return n;
}

Bytes ResponseWithLength(std::uint8_t code, unsigned length, std::uint8_t status, const Bytes& payload)
{
    Bytes out{code, std::uint8_t(length >> 8), std::uint8_t(length), status};
    return Concat(out, payload);
}

Bytes Response(std::uint8_t code, std::uint8_t status, const Bytes& payload)
{
    return ResponseWithLength(code, unsigned(payload.size() + 4), status, payload);
}

Bytes Answer(std::uint8_t command, const Bytes& payload, std::uint8_t status)
{
    return Response(std::uint8_t(command + 0x40), status, payload);
}

} // namespace test
} // namespace tovik
