#include "journalstream.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <vector>

namespace journal {

namespace {

// A decimal number up to the stop character; false on anything else or
// overflow.
bool readNumber(const char*& p, char stop, unsigned long long* value)
{
    if (*p < '0' || *p > '9')
        return false;
    unsigned long long v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const unsigned digit = unsigned(*p - '0');
        if (v > (~0ULL - digit) / 10)
            return false;
        v = v * 10 + digit;
    }
    if (*p != stop)
        return false;
    *value = v;
    return true;
}

} // namespace

bool NamesStream(const char* text, unsigned long long device, unsigned long long inode)
{
    if (!text)
        return false;
    unsigned long long namedDevice = 0;
    unsigned long long namedInode = 0;
    const char* p = text;
    if (!readNumber(p, ':', &namedDevice))
        return false;
    ++p;
    if (!readNumber(p, '\0', &namedInode))
        return false;
    return namedDevice == device && namedInode == inode;
}

bool GoesToJournal(int fd)
{
    const char* named = std::getenv("JOURNAL_STREAM");
    if (!named)
        return false;
    struct stat st;
    if (fstat(fd, &st) != 0)
        return false;
    return NamesStream(named, st.st_dev, st.st_ino);
}

std::string WithPriority(const std::string& text, Priority priority)
{
    const std::string prefix = "<" + std::to_string(int(priority)) + ">";
    std::string out;
    out.reserve(text.size() + prefix.size());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        out += prefix;
        out.append(text, start, end - start);
        start = end;
    }
    return out;
}

void Write(FILE* stream, Priority priority, const std::string& text)
{
    const std::string out = GoesToJournal(fileno(stream)) ? WithPriority(text, priority) : text;
    std::fwrite(out.data(), 1, out.size(), stream);
    std::fflush(stream);
}

void Printf(FILE* stream, Priority priority, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(size_t(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, again);
        text.assign(buffer.data(), size_t(length));
    }
    va_end(again);
    Write(stream, priority, text);
}

} // namespace journal
