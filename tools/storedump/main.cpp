// tovik-storedump: prints every parameter that the store holds in one
// config, as the store itself sees it (its own table, not one of this
// program's), one "idname=value" per line in the table's order: integers in
// decimal, strings as they are, data as hex. An empty config prints
// nothing; a store that cannot be reached or refuses the config ends the
// program with status 1.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/heldparams.h"
#include "toolcli.h"

namespace {

const char kProgram[] = "tovik-storedump";
const char kDefaultUrl[] = "socket://localhost:43110?caching=true&configid=0";

std::string Usage()
{
    return std::string("Prints the parameters one config of a running store holds, as idname=value lines.\n"
                       "\n"
                       "Usage: ") +
           kProgram +
           " [OPTION]... [URL]\n"
           "\n"
           "  URL            the store and config; default the box's config 0:\n"
           "                 " +
           kDefaultUrl +
           "\n"
           "                 the converter in slot N:\n"
           "                 socket://localhost:43111?caching=true&configid=N\n"
           "  -h, --help     print this text and exit\n"
           "      --version  print the version and exit\n"
           "\n"
           "Integers print in decimal, strings as they are, data as hexadecimal.\n"
           "Exit status: 0 printed, 1 the store cannot be reached or refused the\n"
           "config, 2 bad arguments.\n";
}

void print(const HeldParam& p)
{
    if (p.idName.empty())
        std::printf("0x%08X=", unsigned(p.id));
    else
        std::printf("%s=", p.idName.c_str());
    switch (p.kind) {
    case ValueKind::Integer:
        std::printf("%d", p.intValue);
        break;
    case ValueKind::String:
        std::fwrite(p.bytes.data(), 1, p.bytes.size(), stdout);
        break;
    case ValueKind::Data:
        for (unsigned char c : p.bytes)
            std::printf("%02X", c);
        break;
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> operands;
    const int concluded =
        toolcli::Conclude(kProgram, toolcli::ReadCommandLine(argc, argv, {}, nullptr, &operands), Usage());
    if (concluded >= 0)
        return concluded;
    if (operands.size() > 1)
        return toolcli::UsageError(kProgram, "more than one URL");
    const std::string url = operands.empty() ? kDefaultUrl : operands[0];

    ConfigFactoryImpl* factory = ConfigFactoryImpl::GetInstance();
    Config* config = factory->CreateConfig(url, "");
    if (!config) {
        std::fprintf(stderr, "storedump: cannot open %s\n", url.c_str());
        return 1;
    }
    std::vector<HeldParam> params;
    const bool listed = ListHeldParams(config, params);
    factory->ReleaseConfig(config);
    if (!listed) {
        std::fprintf(stderr, "storedump: %s did not list its parameters\n", url.c_str());
        return 1;
    }
    for (const HeldParam& p : params)
        print(p);
    std::fflush(stdout);
    return 0;
}
