// JOURNAL_STREAM texts and log texts: the first line of an input is the
// variable's value, the rest a text given its priority. A value that names
// a stream names exactly one (its numbers printed back give it again, up to
// leading zeros), and the prefixed text is the text again once each line's
// prefix is taken off.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "journalstream.h"

namespace {

// The decimal numbers of a "<device>:<inode>" text, as a reference reader.
bool Numbers(const std::string& text, unsigned long long* device, unsigned long long* inode)
{
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (i != colon && (text[i] < '0' || text[i] > '9'))
            return false;
    const std::string first = text.substr(0, colon);
    const std::string second = text.substr(colon + 1);
    // Numbers of more than 20 significant digits do not fit.
    auto fits = [](const std::string& digits) {
        const size_t start = digits.find_first_not_of('0');
        if (start == std::string::npos)
            return true;
        const std::string significant = digits.substr(start);
        return significant.size() < 20 || (significant.size() == 20 && significant <= "18446744073709551615");
    };
    if (!fits(first) || !fits(second))
        return false;
    *device = std::strtoull(first.c_str(), nullptr, 10);
    *inode = std::strtoull(second.c_str(), nullptr, 10);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t newline = input.find('\n');
    const std::string value = input.substr(0, newline);
    const std::string text = newline == std::string::npos ? std::string() : input.substr(newline + 1);

    // A value with a NUL ends there, as the environment would hold it.
    const std::string held = value.substr(0, value.find('\0'));
    unsigned long long device = 0;
    unsigned long long inode = 0;
    const bool named = Numbers(held, &device, &inode);
    if (journal::NamesStream(held.c_str(), device, inode) != named)
        std::abort();
    if (named && (journal::NamesStream(held.c_str(), device + 1, inode) ||
                  journal::NamesStream(held.c_str(), device, inode + 1)))
        std::abort();

    const std::string lines = journal::WithPriority(text, journal::kWarning);
    std::string back;
    size_t at = 0;
    while (at < lines.size()) {
        if (lines.compare(at, 3, "<4>") != 0)
            std::abort();
        at += 3;
        const size_t end = lines.find('\n', at);
        const size_t next = end == std::string::npos ? lines.size() : end + 1;
        back.append(lines, at, next - at);
        at = next;
    }
    if (back != text)
        std::abort();
    return 0;
}
