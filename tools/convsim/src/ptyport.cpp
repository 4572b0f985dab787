#include "convsim/ptyport.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace convsim {

namespace {

bool Fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

} // namespace

bool MakeRaw(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetspeed(&t, B38400);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

PtyPort::~PtyPort()
{
    Unlink();
    Close();
}

bool PtyPort::Open(std::string* error)
{
    Close();
    _master = posix_openpt(O_RDWR | O_NOCTTY);
    if (_master < 0)
        return Fail(error, "posix_openpt");
    char name[128];
    if (grantpt(_master) != 0 || unlockpt(_master) != 0 ||
        ptsname_r(_master, name, sizeof name) != 0) {
        Fail(error, "pty setup");
        Close();
        return false;
    }
    _slaveName = name;
    // Set the slave raw through a short-lived descriptor, so that nothing
    // is echoed or translated before the box configures the line.
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0 || !MakeRaw(slave) || !MakeRaw(_master)) {
        Fail(error, "raw mode");
        if (slave >= 0)
            ::close(slave);
        Close();
        return false;
    }
    ::close(slave);
    const int flags = fcntl(_master, F_GETFL);
    if (flags < 0 || fcntl(_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        Fail(error, "O_NONBLOCK");
        Close();
        return false;
    }
    return true;
}

bool PtyPort::Link(const std::string& linkPath, std::string* error)
{
    if (_master < 0) {
        if (error)
            *error = "pty not open";
        return false;
    }
    struct stat st{};
    if (lstat(linkPath.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            if (error)
                *error = linkPath + " exists and is not a symbolic link";
            return false;
        }
        if (::unlink(linkPath.c_str()) != 0)
            return Fail(error, "unlink " + linkPath);
    }
    if (::symlink(_slaveName.c_str(), linkPath.c_str()) != 0)
        return Fail(error, "symlink " + linkPath);
    _link = linkPath;
    return true;
}

void PtyPort::Unlink()
{
    if (_link.empty())
        return;
    // Remove the link only while it still points at this slave.
    char target[256];
    const ssize_t n = readlink(_link.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, size_t(n)) == _slaveName)
        ::unlink(_link.c_str());
    _link.clear();
}

void PtyPort::Close()
{
    if (_master >= 0)
        ::close(_master);
    _master = -1;
}

} // namespace convsim
