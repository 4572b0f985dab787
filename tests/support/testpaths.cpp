#include "testpaths.h"

#include <cstdlib>

#include <sys/stat.h>

namespace tovik {
namespace test {

namespace {

std::string FromEnvironment(const char* name, const char* builtIn)
{
    const char* value = std::getenv(name);
    return value && *value ? value : builtIn;
}

} // namespace

std::string SourceDir()
{
    return FromEnvironment("TOVIK_SOURCE_DIR", TOVIK_TEST_SOURCE_DIR);
}

std::string BuildDir()
{
    return FromEnvironment("TOVIK_BUILD_DIR", TOVIK_TEST_BUILD_DIR);
}

std::string BuildProgram(const std::string& name)
{
    return BuildDir() + "/bin/" + name;
}

bool PathExists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace test
} // namespace tovik
