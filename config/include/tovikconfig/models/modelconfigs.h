// The converter models' table functions, one class per model of the model
// list (modellist.h) in the model's namespace. Each adds the model's
// descriptors in creation order and returns false at the first one the
// table refuses (those added before stay), else true. The table is never
// null: the dispatch checks it.
#ifndef TOVIKCONFIG_MODELS_MODELCONFIGS_H
#define TOVIKCONFIG_MODELS_MODELCONFIGS_H

#include "tovikconfig/models/modellist.h"
#include "tovikconfig/tovikexport.h"

class DescriptorTable;

namespace tovikconfig {

#define TOVIKCONFIG_MODEL_CONFIG(type, number, NAME, Display, ns, Config, ...)                                \
    namespace ns {                                                                                            \
    class TOVIKCONFIG_EXPORT Config {                                                                         \
    public:                                                                                                   \
        static bool AddParamDescriptors(DescriptorTable* table);                                              \
    };                                                                                                        \
    }
#define TOVIKCONFIG_NO_CONFIG(...)
TOVIK_MODEL_LIST(TOVIKCONFIG_MODEL_CONFIG, TOVIKCONFIG_NO_CONFIG, TOVIKCONFIG_NO_CONFIG)
#undef TOVIKCONFIG_NO_CONFIG
#undef TOVIKCONFIG_MODEL_CONFIG

} // namespace tovikconfig

#endif
