#include "bytes.h"

#include <cstdio>
#include <cstdlib>

namespace tovik {
namespace test {

Bytes FromHex(const std::string& hex)
{
    Bytes out;
    std::string digits;
    for (char c : hex)
        if (c != ' ')
            digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(std::uint8_t(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16)));
    return out;
}

std::string Hex(const Bytes& bytes)
{
    std::string text;
    char digits[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(digits, sizeof digits, i ? " %02X" : "%02X", bytes[i]);
        text += digits;
    }
    return text;
}

Bytes Concat(Bytes a, const Bytes& b)
{
    a.reserve(a.size() + b.size());
    for (std::uint8_t byte : b)
        a.push_back(byte);
    return a;
}

} // namespace test
} // namespace tovik
