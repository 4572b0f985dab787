#include "tovikconfig/commonconfig.h"
#include "tables/platformseam.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tovikconfig {
namespace platform {

namespace {
std::string gSerialNumberPath;
}

void SetSerialNumberPath(const std::string& path)
{
    gSerialNumberPath = path;
}

std::string SerialNumberPath()
{
    return gSerialNumberPath.empty() ? std::string(kSerialNumberPath) : gSerialNumberPath;
}

} // namespace platform
} // namespace tovikconfig

namespace CommonConfig {

namespace {

constexpr std::size_t kSerialNumberMax = 63;

// One bounded read of a regular file; the text up to its first zero byte.
std::string ReadSerialNumberFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::string();
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::string();
    }
    char buffer[kSerialNumberMax + 1];
    ssize_t got;
    do {
        got = ::read(fd, buffer, kSerialNumberMax);
    } while (got < 0 && errno == EINTR);
    ::close(fd);
    if (got <= 0)
        return std::string();
    const std::size_t length = ::strnlen(buffer, static_cast<std::size_t>(got));
    return std::string(buffer, length);
}

} // namespace

std::string GetSerialNumber()
{
    const std::string serial = ReadSerialNumberFile(tovikconfig::platform::SerialNumberPath());
    return serial.empty() ? std::string(tovikconfig::platform::kSerialNumberFallback) : serial;
}

std::string GetDefaultSystemName()
{
    return "velora-brisco-" + GetSerialNumber();
}

} // namespace CommonConfig
