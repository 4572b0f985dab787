// A converter config's descriptor table, emptied and filled with a model's
// parameters: what every model wrapper's InitDeviceDescriptors does.
#ifndef PORTVANE_MODELS_MODELDESCRIPTORS_H
#define PORTVANE_MODELS_MODELDESCRIPTORS_H

#include "paramlink/descriptortable.h"
#include "tovikconfig/tovikconfig.h"

// The fill's result.
inline bool FillModelDescriptors(int configId, tovikconfig::ViveRode_t model)
{
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(configId);
    table->clear();
    return tovikconfig::TovikConfig::AddParamDescriptors(table, model);
}

#endif
