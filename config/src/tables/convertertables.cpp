#include "tables/convertertables.h"

#include "tovikconfig/models/modelconfigs.h"

namespace tovikconfig {

namespace {

// One entry per model number; null where the config holds the connection
// status only.
const ConverterTableFn kConverterTables[kViveRodeCount] = {
    /* 0 none */ nullptr,
    /* 1 the box */ nullptr,
    /* 2 Arvel */ &arvel::ArvelConfig::AddParamDescriptors,
    /* 3 Brindo */ &brindo::BrindoConfig::AddParamDescriptors,
    /* 4 Cadmer */ &cadmer::CadmerConfig::AddParamDescriptors,
    /* 5 Gravo */ &gravo::GravoConfig::AddParamDescriptors,
    /* 6 Hestra */ &hestra::HestraConfig::AddParamDescriptors,
    /* 7 Dovrin */ &dovrin::DovrinConfig::AddParamDescriptors,
    /* 8 Estrow */ &cestrow::CEstrowConfig::AddParamDescriptors,
    /* 9 Falcrin */ &falcrin::FalcrinConfig::AddParamDescriptors,
    /* 10 Gesmor */ &gesmor::GesmorConfig::AddParamDescriptors,
    /* 11 Harvik */ &harvik::HarvikConfig::AddParamDescriptors,
    /* 12 Ilmaro */ &ilmaro::IlmaroConfig::AddParamDescriptors,
    /* 13 Jastel */ &jastel::JastelConfig::AddParamDescriptors,
    /* 14 Kelvro */ &ckelvro::CKelvroConfig::AddParamDescriptors,
    /* 15 Mardex */ &mardex::MardexConfig::AddParamDescriptors,
    /* 16 Lomrik */ &clomrik::CLomrikConfig::AddParamDescriptors,
    /* 17 Nolvar */ &nolvar::NolvarConfig::AddParamDescriptors,
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
