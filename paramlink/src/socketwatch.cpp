#include "socketwatch.h"

#include "clientio.h"

namespace paramlink {

void SocketWatch::Register(const std::shared_ptr<WatchedLink>& link) { _key = ClientIO::Instance().Register(link); }

void SocketWatch::Unregister() { ClientIO::Instance().Unregister(_key); }

void SocketWatch::Hand(int fd, bool rearm)
{
    if (!_wanted)
        return;
    if (!_inSet)
        _inSet = _armed = ClientIO::Instance().Watch(fd, _key);
    else if (!_armed || rearm)
        _armed = ClientIO::Instance().Arm(fd, _key);
}

void SocketWatch::Disarm(int fd)
{
    if (!_armed)
        return;
    ClientIO::Instance().Disarm(fd, _key);
    _armed = false;
}

void SocketWatch::Forget(int fd)
{
    if (_inSet && fd >= 0)
        ClientIO::Instance().Forget(fd);
    Reset();
}

} // namespace paramlink
