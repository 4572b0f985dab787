// tovik-descdump [--serial-file PATH] [--no-interface] <model>
// Fills a descriptor table for the model number and prints it in the
// canonical dump form. The options pin the box identity texts for
// comparisons: the serial number is read from PATH, and the MAC address
// query behaves as on a machine without the interface.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "descriptordump.h"
#include "paramlink/descriptortable.h"
#include "tables/platformseam.h"
#include "tovikconfig/tovikconfig.h"

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

int Usage()
{
    std::cerr << "usage: tovik-descdump [--serial-file PATH] [--no-interface] <model>\n";
    return 2;
}

bool ParseModel(const char* text, tovikconfig::ViveRode_t* model)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 0);
    if (errno != 0 || end == text || *end != '\0' || text[0] == '-' || value > 0xFFFFFFFFull)
        return false;
    *model = static_cast<tovikconfig::ViveRode_t>(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const char* modelText = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--serial-file" && i + 1 < argc)
            tovikconfig::platform::SetSerialNumberPath(argv[++i]);
        else if (arg == "--no-interface")
            tovikconfig::platform::SetInterfaceOps(&kNoInterface);
        else if (!modelText && !arg.empty() && arg[0] != '-')
            modelText = argv[i];
        else
            return Usage();
    }
    tovikconfig::ViveRode_t model = 0;
    if (!modelText || !ParseModel(modelText, &model))
        return Usage();

    DescriptorTable table(0);
    const bool result = tovikconfig::TovikConfig::AddParamDescriptors(&table, model);
    std::cout << "model " << model << " result " << (result ? "true" : "false") << " count "
              << table.size() << '\n';
    descdump::DumpTable(std::cout, table);
    return 0;
}
