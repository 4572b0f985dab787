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

namespace {

const char kDefaultUrl[] = "socket://localhost:43110?caching=true&configid=0";

void usage()
{
    std::fprintf(stderr,
                 "usage: tovik-storedump [URL]\n"
                 "  URL  store URL (default %s)\n",
                 kDefaultUrl);
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
    std::string url = kDefaultUrl;
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        usage();
        return 2;
    }
    if (argc == 2)
        url = argv[1];

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
