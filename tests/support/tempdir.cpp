#include "tempdir.h"

#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <sys/stat.h>

namespace tovik {
namespace test {

TempDir::TempDir(const std::string& prefix)
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + "-XXXXXX";
    if (::mkdtemp(&pattern[0]))
        _path = pattern;
}

TempDir::~TempDir()
{
    if (_path.empty())
        return;
    ::nftw(
        _path.c_str(), [](const char* path, const struct stat*, int, struct FTW*) { return std::remove(path); },
        8, FTW_DEPTH | FTW_PHYS);
}

} // namespace test
} // namespace tovik
