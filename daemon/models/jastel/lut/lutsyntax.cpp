#include "lutsyntax.h"

#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace lutsyntax {

const char* const kDataRowPattern =
    "[\\t\\s]*([-+]?[0-9]+(\\.[0-9]+)?([eE][-+]?[0-9]+)?[\\t\\s]+){2}"
    "[-+]?[0-9]+(\\.[0-9]+)?([eE][-+]?[0-9]+)?[\\t\\s]*";

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Scans "[-+]?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?" from pos; returns the end
// or npos. A dot or exponent mark without digits after it can be followed by
// nothing the row pattern allows, so failing there equals backtracking.
size_t ScanNumber(std::string_view s, size_t pos)
{
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+'))
        ++pos;
    const size_t digits = pos;
    while (pos < s.size() && IsDigit(s[pos]))
        ++pos;
    if (pos == digits)
        return std::string_view::npos;
    if (pos < s.size() && s[pos] == '.') {
        const size_t frac = ++pos;
        while (pos < s.size() && IsDigit(s[pos]))
            ++pos;
        if (pos == frac)
            return std::string_view::npos;
    }
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        ++pos;
        if (pos < s.size() && (s[pos] == '-' || s[pos] == '+'))
            ++pos;
        const size_t exp = pos;
        while (pos < s.size() && IsDigit(s[pos]))
            ++pos;
        if (pos == exp)
            return std::string_view::npos;
    }
    return pos;
}

size_t SkipBlanks(std::string_view s, size_t pos)
{
    while (pos < s.size() && IsBlank(static_cast<unsigned char>(s[pos])))
        ++pos;
    return pos;
}

} // namespace

bool MatchDataRow(std::string_view line, std::array<std::string_view, 3>* tokens)
{
    size_t pos = SkipBlanks(line, 0);
    for (int i = 0; i < 3; ++i) {
        const size_t end = ScanNumber(line, pos);
        if (end == std::string_view::npos)
            return false;
        if (tokens)
            (*tokens)[size_t(i)] = line.substr(pos, end - pos);
        pos = SkipBlanks(line, end);
        if (i < 2 && pos == end)
            return false; // numbers must be separated by blanks
    }
    return pos == line.size();
}

bool IsIntegerToken(std::string_view token)
{
    size_t pos = 0;
    if (pos < token.size() && (token[pos] == '-' || token[pos] == '+'))
        ++pos;
    if (pos == token.size())
        return false;
    for (; pos < token.size(); ++pos) {
        if (!IsDigit(token[pos]))
            return false;
    }
    return true;
}

std::vector<std::string_view> Split(std::string_view line)
{
    std::vector<std::string_view> parts;
    size_t pos = SkipBlanks(line, 0);
    while (pos < line.size()) {
        size_t end = pos;
        while (end < line.size() && !IsBlank(static_cast<unsigned char>(line[end])))
            ++end;
        parts.push_back(line.substr(pos, end - pos));
        pos = SkipBlanks(line, end);
    }
    return parts;
}

int ParseInteger(std::string_view token)
{
    bool negative = false;
    size_t pos = 0;
    if (pos < token.size() && (token[pos] == '-' || token[pos] == '+'))
        negative = token[pos++] == '-';
    long long value = 0;
    for (; pos < token.size() && IsDigit(token[pos]); ++pos) {
        value = value * 10 + (token[pos] - '0');
        if (value > INT_MAX) {
            value = INT_MAX + 1LL;
            break;
        }
    }
    if (negative)
        return value > INT_MAX ? INT_MIN : int(-value);
    return value > INT_MAX ? INT_MAX : int(value);
}

double ParseNumber(std::string_view token)
{
    if (!token.empty() && token.front() == '+')
        token.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (ec == std::errc())
        return value;
    if (ec != std::errc::result_out_of_range)
        return 0.0;
    // Overflow or underflow: strtod in the C locale gives inf or 0.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const std::string text(token);
    return strtod_l(text.c_str(), nullptr, cLocale);
}

int RoundHalfUp(double x)
{
    if (std::isnan(x))
        return INT_MIN;
    const double f = std::floor(x);
    const double r = (x - f >= 0.5) ? std::ceil(x) : f;
    if (r >= 2147483648.0)
        return INT_MAX;
    if (r < -2147483648.0)
        return INT_MIN;
    return int(r);
}

} // namespace lutsyntax
