// tovik-storedump: connects to one config of the parameter store, fills the
// config's descriptor table for a model number and prints every parameter as
// "idname=value" (strings as they are, data as hex), one per line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "paramlink/valuekind.h"
#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/tovikconfig.h"

namespace {

const char kDefaultUrl[] = "socket://localhost:43110?caching=true&configid=0";

void usage()
{
    std::fprintf(stderr,
                 "usage: tovik-storedump [--model N] [URL]\n"
                 "  URL      store URL (default %s)\n"
                 "  --model  model number of the config's table (default 1, the box)\n",
                 kDefaultUrl);
}

bool parseNumber(const char* text, unsigned long max, unsigned long& out)
{
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (!*text || *end || *text == '-' || v > max)
        return false;
    out = v;
    return true;
}

void printBytes(const std::string& bytes)
{
    for (unsigned char c : bytes)
        std::printf("%02X", c);
}

} // namespace

int main(int argc, char** argv)
{
    std::string url = kDefaultUrl;
    unsigned long model = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--model") == 0 && i + 1 < argc) {
            if (!parseNumber(argv[++i], tovikconfig::kViveRodeCount - 1, model)) {
                std::fprintf(stderr, "storedump: bad model number \"%s\"\n", argv[i]);
                return 2;
            }
        } else if (argv[i][0] != '-') {
            url = argv[i];
        } else {
            usage();
            return 2;
        }
    }

    Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig(url, "");
    if (!config) {
        std::fprintf(stderr, "storedump: cannot connect to %s\n", url.c_str());
        return 1;
    }
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(config->GetConfigID());
    table->clear();
    tovikconfig::ViveRode_t modelNumber = tovikconfig::ViveRode_t(model);
    tovikconfig::TovikConfig::AddParamDescriptors(table, modelNumber);

    for (eParam_t id : table->GetParamIDs()) {
        ParamDescriptor* descriptor = table->GetDescriptor(id);
        if (!descriptor)
            continue;
        std::printf("%s=", descriptor->GetParamIDName().c_str());
        const DescriptorKindInfo kind = ResolveDescriptorKind(descriptor);
        std::string bytes;
        int value = 0;
        switch (kind.kind) {
        case ValueKind::Integer:
            if (config->GetIntegerValue(id, value))
                std::printf("%d", value);
            else
                std::printf("?");
            break;
        case ValueKind::String:
            if (config->GetStringValue(id, bytes))
                std::printf("%s", bytes.c_str());
            else
                std::printf("?");
            break;
        case ValueKind::Data:
            if (config->GetDataValue(id, bytes))
                printBytes(bytes);
            else
                std::printf("?");
            break;
        }
        std::printf("\n");
    }
    std::fflush(stdout);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);
    return 0;
}
