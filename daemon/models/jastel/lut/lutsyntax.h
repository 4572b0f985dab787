// Lexical rules of the LUT text formats: lines are 8-bit (Latin-1) text,
// blanks are what Qt's \s matches on Latin-1 (tab, LF, VT, FF, CR, space,
// NEL 0x85, NBSP 0xA0).
//
// The data-row test runs on every row several times, so it is a hand-written
// scanner; lutsyntax_test.cpp checks it against the regular expression.
#ifndef PORTVANE_LUT_LUTSYNTAX_H
#define PORTVANE_LUT_LUTSYNTAX_H

#include <array>
#include <string_view>
#include <vector>

namespace lutsyntax {

// The data-row pattern, as a Qt regular expression (whole-string match).
extern const char* const kDataRowPattern;

inline bool IsBlank(unsigned char c)
{
    return (c >= 9 && c <= 13) || c == ' ' || c == 0x85 || c == 0xA0;
}

// Three numbers separated by blanks, blanks allowed around them. On a match
// the three number tokens are stored in *tokens when given.
bool MatchDataRow(std::string_view line, std::array<std::string_view, 3>* tokens = nullptr);

// "[-+]?[0-9]+" as a whole match.
bool IsIntegerToken(std::string_view token);

// The line split at runs of blanks, empty parts dropped.
std::vector<std::string_view> Split(std::string_view line);

// A "[-+]?[0-9]+" token as a 32-bit value, saturated at the int range
// (so an absurdly long number still compares as out of range).
int ParseInteger(std::string_view token);

// A decimal number in C notation, whatever the process locale.
double ParseNumber(std::string_view token);

// ceil(x) when x - floor(x) >= 0.5, else floor(x), truncated to 32 bits;
// values beyond the int range (and NaN) saturate instead of overflowing.
int RoundHalfUp(double x);

} // namespace lutsyntax

#endif
