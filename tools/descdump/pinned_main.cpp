// tovik-descdump-pinned: tovik-descdump with two more options that pin the
// box identity texts for comparisons with checked-in dumps, through the
// table library's private seams (so it links the library's internal twin and
// is never installed):
//   --serial-file PATH  the serial number is read from PATH
//   --no-interface      the MAC address query behaves as on a machine
//                       without the interface
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include "descdumptool.h"
#include "tables/platformseam.h"

namespace {

bool FakeTcpProtocol(int* protocol)
{
    *protocol = 6;
    return true;
}

int FakeOpenSocket(int)
{
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

int MissingInterface(int, ifreq*)
{
    errno = ENODEV;
    return -1;
}

void FakeClose(int fd)
{
    ::close(fd);
}

const tovikconfig::platform::InterfaceOps kNoInterface{&FakeTcpProtocol, &FakeOpenSocket,
                                                       &MissingInterface, &FakeClose};

} // namespace

int main(int argc, char** argv)
{
    const std::vector<descdump::ExtraOption> pins = {
        {{"serial-file", required_argument, nullptr, 0x200},
         "      --serial-file=PATH  read the box serial number from PATH\n",
         [](const char* path) { tovikconfig::platform::SetSerialNumberPath(path); }},
        {{"no-interface", no_argument, nullptr, 0x201},
         "      --no-interface      answer the MAC address query as without eth0\n",
         [](const char*) { tovikconfig::platform::SetInterfaceOps(&kNoInterface); }},
    };
    return descdump::Main("tovik-descdump-pinned", argc, argv, pins);
}
