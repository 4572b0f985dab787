// Reads a command line the way the commands' scanf patterns do ("get %s",
// "timing %s %d", a value with "%d" or "%X"), without their limits: a word
// may be of any length, and numbers read the same on 32- and 64-bit
// machines.
#ifndef KNOBCTL_ARGUMENTSCANNER_H
#define KNOBCTL_ARGUMENTSCANNER_H

#include <cstddef>
#include <cstdint>
#include <string>

// The integer formats of the interpreter: decimal in and out, or hexadecimal
// ("%X" in, "0x%X" out).
extern const char* const kDecimalFormat;
extern const char* const kHexInputFormat;
extern const char* const kHexOutputFormat;

class ArgumentScanner {
public:
    explicit ArgumentScanner(const std::string& text) : _text(text) {}

    // The literal text, which must stand at the current position.
    bool Literal(const char* literal);
    // White space skipped, then a run of other characters; false at the end.
    bool Word(std::string& word);
    // White space skipped, then an integer in the input format (kDecimalFormat
    // or kHexInputFormat, whose "0x" is optional). False when no digit
    // follows or the number does not fit in 32 bits.
    bool Integer(const char* inputFormat, std::int32_t& value);

private:
    const std::string& _text;
    size_t _pos = 0;
};

// sscanf(line, "<keyword> %s"): the word after the keyword that begins the
// line. False when the line does not begin with the keyword or no word
// follows.
bool ScanArgumentWord(const std::string& line, const char* keyword, std::string& word);

// strtol's reading (leading white space, sign, base 10, 16 with an optional
// "0x", or 0 for C notation) into 64 bits on every machine. *end is set to
// the characters read (0 when there is no digit). False when no digit or the
// number overflows 64 bits.
bool ReadNumber(const char* text, int base, std::int64_t& value, size_t* end = nullptr);

// An integer's 32 bits: -2147483648 to 4294967295 are taken (values above
// 2147483647 wrap to the negative ints of the same bits, so 0xFFFFFFFF is
// -1); anything else is refused.
bool ToInt32Bits(std::int64_t value, std::int32_t& out);

#endif
