// The module-type and interface name tables.
#include "catalog/cmoduletype.h"

#include "tovikconfig/models/modellist.h"

#define TYPE_ENTRY(id, text) CModuleTypeIDName{id, QStringLiteral(text), text}

const std::array<CModuleTypeIDName, CModuleType::kInterfaceCount> CModuleType::_InterfaceIDNames = {{
    TYPE_ENTRY(0, "I2C"),
    TYPE_ENTRY(1, "SPI Control"),
    TYPE_ENTRY(2, "SPI Config"),
    TYPE_ENTRY(3, "JTAG"),
}};

// Row i is module type i: the model list's names.
#define TYPE_ROW_MODEL(type, number, name, ...) TYPE_ENTRY(type, name),
#define TYPE_ROW_NUMBERED(type, number, name, display) TYPE_ENTRY(type, name),
#define TYPE_ROW_OTHER(type, name) TYPE_ENTRY(type, name),
#define TYPE_ROW_COUNT(...) +1
static_assert(0 TOVIK_MODEL_LIST(TYPE_ROW_COUNT, TYPE_ROW_COUNT, TYPE_ROW_COUNT) == CModuleType::kModuleTypeCount,
              "the model list has a row per module type");
const std::array<CModuleTypeIDName, CModuleType::kModuleTypeCount> CModuleType::_moduleTypeIDNames = {{
    TOVIK_MODEL_LIST(TYPE_ROW_MODEL, TYPE_ROW_NUMBERED, TYPE_ROW_OTHER)
}};
#undef TYPE_ROW_COUNT
#undef TYPE_ROW_OTHER
#undef TYPE_ROW_NUMBERED
#undef TYPE_ROW_MODEL

#undef TYPE_ENTRY

int ModuleTypeFromName(const QString& name)
{
    for (const CModuleTypeIDName& entry : CModuleType::_moduleTypeIDNames) {
        if (entry.name == name)
            return entry.id;
    }
    return 0;
}

int InterfaceFromName(const QString& name)
{
    for (const CModuleTypeIDName& entry : CModuleType::_InterfaceIDNames) {
        if (entry.name == name)
            return entry.id;
    }
    return -1;
}
