#include "argumentscanner.h"

#include <cctype>
#include <cstring>

const char* const kDecimalFormat = "%d";
const char* const kHexInputFormat = "%X";
const char* const kHexOutputFormat = "0x%X";

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

} // namespace

bool ArgumentScanner::Literal(const char* literal)
{
    const size_t n = std::strlen(literal);
    if (_text.compare(_pos, n, literal) != 0)
        return false;
    _pos += n;
    return true;
}

bool ArgumentScanner::Word(std::string& word)
{
    while (_pos < _text.size() && IsSpace(_text[_pos]))
        ++_pos;
    const size_t start = _pos;
    while (_pos < _text.size() && !IsSpace(_text[_pos]))
        ++_pos;
    if (_pos == start)
        return false;
    word = _text.substr(start, _pos - start);
    return true;
}

bool ArgumentScanner::Integer(const char* inputFormat, std::int32_t& value)
{
    const int base = std::strcmp(inputFormat, kHexInputFormat) == 0 ? 16 : 10;
    std::int64_t number = 0;
    size_t used = 0;
    if (_pos >= _text.size() || !ReadNumber(_text.c_str() + _pos, base, number, &used))
        return false;
    if (!ToInt32Bits(number, value))
        return false;
    _pos += used;
    return true;
}

bool ScanArgumentWord(const std::string& line, const char* keyword, std::string& word)
{
    ArgumentScanner scanner(line);
    return scanner.Literal(keyword) && scanner.Word(word);
}

bool ReadNumber(const char* text, int base, std::int64_t& value, size_t* end)
{
    if (end)
        *end = 0;
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    const bool hexPrefix = p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16;
    if (base == 0)
        base = hexPrefix ? 16 : (p[0] == '0' ? 8 : 10);
    if (base == 16 && hexPrefix)
        p += 2;
    const char* digits = p;
    const std::uint64_t limit = negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
    std::uint64_t magnitude = 0;
    bool overflow = false;
    for (; DigitValue(*p) < base; ++p) {
        const unsigned d = unsigned(DigitValue(*p));
        if (magnitude > (limit - d) / unsigned(base))
            overflow = true;
        else
            magnitude = magnitude * unsigned(base) + d;
    }
    if (p == digits)
        return false;
    if (end)
        *end = size_t(p - text);
    if (overflow)
        return false;
    value = negative ? std::int64_t(0 - magnitude) : std::int64_t(magnitude);
    return true;
}

bool ToInt32Bits(std::int64_t value, std::int32_t& out)
{
    if (value < INT32_MIN || value > std::int64_t(UINT32_MAX))
        return false;
    out = std::int32_t(std::uint32_t(value));
    return true;
}
