// The converter models' table functions, one class per model in the
// model's namespace, with the model number beside it. Each adds the model's
// descriptors in creation order and returns false at the first one the
// table refuses (those added before stay), else true. The table is never
// null: the dispatch checks it.
#ifndef TOVIKCONFIG_MODELS_MODELCONFIGS_H
#define TOVIKCONFIG_MODELS_MODELCONFIGS_H

#include "tovikconfig/tovikexport.h"

class DescriptorTable;

namespace tovikconfig {

// The ROI scalers.
namespace hestra { class TOVIKCONFIG_EXPORT HestraConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 6
namespace mardex { class TOVIKCONFIG_EXPORT MardexConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 15
namespace pendro { class TOVIKCONFIG_EXPORT PendroConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 19
namespace quastel { class TOVIKCONFIG_EXPORT QuastelConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 20

// The LUT converter.
namespace jastel { class TOVIKCONFIG_EXPORT JastelConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 13

// The models whose tables hold only the identity strings.
namespace arvel { class TOVIKCONFIG_EXPORT ArvelConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 2
namespace brindo { class TOVIKCONFIG_EXPORT BrindoConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 3
namespace cadmer { class TOVIKCONFIG_EXPORT CadmerConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 4
namespace gravo { class TOVIKCONFIG_EXPORT GravoConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 5
namespace dovrin { class TOVIKCONFIG_EXPORT DovrinConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 7
namespace cestrow { class TOVIKCONFIG_EXPORT CEstrowConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 8
namespace falcrin { class TOVIKCONFIG_EXPORT FalcrinConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 9
namespace gesmor { class TOVIKCONFIG_EXPORT GesmorConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 10
namespace harvik { class TOVIKCONFIG_EXPORT HarvikConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 11
namespace ilmaro { class TOVIKCONFIG_EXPORT IlmaroConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 12
namespace ckelvro { class TOVIKCONFIG_EXPORT CKelvroConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 14
namespace clomrik { class TOVIKCONFIG_EXPORT CLomrikConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 16
namespace nolvar { class TOVIKCONFIG_EXPORT NolvarConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 17

} // namespace tovikconfig

#endif
