#include "texthelpers.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

std::vector<std::string> TokenizeCommandLine(std::string line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word) {
        if (word[0] == '"') {
            if (word.back() == '"') {
                word = word.size() > 1 ? word.substr(1, word.size() - 2) : std::string();
            } else {
                std::string rest;
                std::getline(in, rest, '"');
                word = word.substr(1) + rest;
            }
        }
        words.push_back(word);
    }
    return words;
}

std::vector<std::string> SplitString(std::string text, char delimiter)
{
    std::vector<std::string> pieces;
    std::istringstream in(text);
    std::string piece;
    while (std::getline(in, piece, delimiter))
        pieces.push_back(piece);
    return pieces;
}

bool read_file(const char* path, std::string& out)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        std::fprintf(stderr, "::read_file - fstat failed\n");
        return false;
    }
    std::string bytes;
    try {
        bytes.resize(size_t(st.st_size));
    } catch (const std::exception&) {
        ::close(fd);
        std::fprintf(stderr, "::read_file - malloc failed\n");
        return false;
    }
    // One read may return less than asked for large files; keep reading.
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, &bytes[done], bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    ::close(fd);
    if (done < bytes.size()) {
        std::fprintf(stderr, "::read_file - read failed to read enough data\n");
        return false;
    }
    out.swap(bytes);
    return true;
}

std::string TrimLeadingBlanks(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string TrimTrailingBlanks(const std::string& text)
{
    const size_t last = text.find_last_not_of(" \t");
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}
