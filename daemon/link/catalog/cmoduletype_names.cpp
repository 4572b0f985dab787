// The module-type and interface name tables.
#include "catalog/cmoduletype.h"

#define TYPE_ENTRY(id, text) CModuleTypeIDName{id, QStringLiteral(text), text}

const std::array<CModuleTypeIDName, CModuleType::kInterfaceCount> CModuleType::_InterfaceIDNames = {{
    TYPE_ENTRY(0, "I2C"),
    TYPE_ENTRY(1, "SPI Control"),
    TYPE_ENTRY(2, "SPI Config"),
    TYPE_ENTRY(3, "JTAG"),
}};

const std::array<CModuleTypeIDName, CModuleType::kModuleTypeCount> CModuleType::_moduleTypeIDNames = {{
    TYPE_ENTRY(0, "Unknown"),
    TYPE_ENTRY(1, "ARVEL"),
    TYPE_ENTRY(2, "BRINDO"),
    TYPE_ENTRY(3, "CADMER"),
    TYPE_ENTRY(4, "GRAVO"),
    TYPE_ENTRY(5, "HESTRA"),
    TYPE_ENTRY(6, "DOVRIN"),
    TYPE_ENTRY(7, "ESTROW"),
    TYPE_ENTRY(8, "FALCRIN"),
    TYPE_ENTRY(9, "GESMOR"),
    TYPE_ENTRY(10, "HARVIK"),
    TYPE_ENTRY(11, "ILMARO"),
    TYPE_ENTRY(12, "JASTEL"),
    TYPE_ENTRY(13, "KELVRO"),
    TYPE_ENTRY(14, "MARDEX"),
    TYPE_ENTRY(15, "LOMRIK"),
    TYPE_ENTRY(16, "NOLVAR"),
    TYPE_ENTRY(17, "ORSIK"),
    TYPE_ENTRY(18, "PENDRO"),
    TYPE_ENTRY(19, "QUASTEL"),
    TYPE_ENTRY(20, "RIMBOL"),
    TYPE_ENTRY(21, "SARVEK"),
    TYPE_ENTRY(22, "TOLVIN"),
    TYPE_ENTRY(23, "UDRASK"),
    TYPE_ENTRY(24, "VENNOR"),
    TYPE_ENTRY(25, "WEXLAR"),
    TYPE_ENTRY(26, "YORVATH"),
    TYPE_ENTRY(27, "ZELMOR"),
    TYPE_ENTRY(28, "AMBREL"),
    TYPE_ENTRY(29, "BEXTON"),
    TYPE_ENTRY(30, "CORVANE"),
    TYPE_ENTRY(31, "DELMOK"),
    TYPE_ENTRY(32, "ESKVAR"),
    TYPE_ENTRY(33, "FORNEL"),
}};

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
