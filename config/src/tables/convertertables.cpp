#include "tables/convertertables.h"

#include "tovikconfig/models/modelconfigs.h"

namespace tovikconfig {

namespace {

// One entry per model number; null where the config holds the connection
// status only.
const ConverterTableFn kConverterTables[kViveRodeCount] = {
    /* 0 none */ nullptr,
    /* 1 the box */ nullptr,
    /* 2 Arvel */ nullptr,
    /* 3 Brindo */ nullptr,
    /* 4 Cadmer */ nullptr,
    /* 5 Gravo */ nullptr,
    /* 6 Hestra */ &hestra::HestraConfig::AddParamDescriptors,
    /* 7 Dovrin */ nullptr,
    /* 8 Estrow */ nullptr,
    /* 9 Falcrin */ nullptr,
    /* 10 Gesmor */ nullptr,
    /* 11 Harvik */ nullptr,
    /* 12 Ilmaro */ nullptr,
    /* 13 Jastel */ nullptr,
    /* 14 Kelvro */ nullptr,
    /* 15 Mardex */ &mardex::MardexConfig::AddParamDescriptors,
    /* 16 Lomrik */ nullptr,
    /* 17 Nolvar */ nullptr,
    /* 18 Orsik */ nullptr,
    /* 19 Pendro */ &pendro::PendroConfig::AddParamDescriptors,
    /* 20 Quastel */ &quastel::QuastelConfig::AddParamDescriptors,
    /* 21 Rimbol */ nullptr,
    /* 22 Sarvek */ nullptr,
    /* 23 unrecognised */ nullptr,
};

} // namespace

ConverterTableFn ConverterTable(ViveRode_t model)
{
    if (model < 2 || model >= kViveRodeCount)
        return nullptr;
    return kConverterTables[model];
}

} // namespace tovikconfig
