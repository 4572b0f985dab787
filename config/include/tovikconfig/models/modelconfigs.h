// The converter models' table functions, one class per model in the
// model's namespace, with the model number beside it. Each adds the model's
// descriptors in creation order and returns false at the first one the
// table refuses (those added before stay), else true. The table is never
// null: the dispatch checks it.
#ifndef TOVIKCONFIG_MODELS_MODELCONFIGS_H
#define TOVIKCONFIG_MODELS_MODELCONFIGS_H

class DescriptorTable;

namespace tovikconfig {

// The ROI scalers.
namespace hestra { class HestraConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 6
namespace mardex { class MardexConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 15
namespace pendro { class PendroConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 19
namespace quastel { class QuastelConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 20

// The LUT converter.
namespace jastel { class JastelConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 13

// The models whose tables hold only the identity strings.
namespace arvel { class ArvelConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 2
namespace brindo { class BrindoConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 3
namespace cadmer { class CadmerConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 4
namespace gravo { class GravoConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 5
namespace dovrin { class DovrinConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 7
namespace cestrow { class CEstrowConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 8
namespace falcrin { class FalcrinConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 9
namespace gesmor { class GesmorConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 10
namespace harvik { class HarvikConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 11
namespace ilmaro { class IlmaroConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 12
namespace ckelvro { class CKelvroConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 14
namespace clomrik { class CLomrikConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 16
namespace nolvar { class NolvarConfig { public: static bool AddParamDescriptors(DescriptorTable* table); }; } // 17

} // namespace tovikconfig

#endif
