#include "registry.h"

#include <cctype>

#include "devicewrapper.h"

namespace {

// A model the dispatch knows: model number = module type + 1, also
// published as the slot's type. Its block maker, wrapper maker and
// published fields follow the name where it has them.
constexpr ModelRow Model(int moduleType, const char* name, BlockMaker block = nullptr,
                         WrapperMaker wrapper = nullptr, RowList<FieldParam> params = NoRows<FieldParam>())
{
    return ModelRow{moduleType, name, tovikconfig::ViveRode_t(moduleType + 1), quint32(moduleType + 1),
                    block, wrapper, params};
}

// A module type the dispatch has no model number for: the slot shows it as
// "Unknown".
constexpr ModelRow Other(int moduleType, const char* name)
{
    return ModelRow{moduleType, name, 0, DeviceWrapper::kOtherTypeCode, nullptr, nullptr, NoRows<FieldParam>()};
}

// Row i is module type i.
constexpr ModelRow kModels[] = {
    Other(0, "Unknown"),
    Model(1, "ARVEL"),
    Model(2, "BRINDO"),
    Model(3, "CADMER"),
    Model(4, "GRAVO"),
    Model(5, "HESTRA"),
    Model(6, "DOVRIN"),
    Model(7, "ESTROW"),
    Model(8, "FALCRIN"),
    Model(9, "GESMOR"),
    Model(10, "HARVIK"),
    Model(11, "ILMARO"),
    Model(12, "JASTEL"),
    Model(13, "KELVRO"),
    Model(14, "MARDEX"),
    Model(15, "LOMRIK"),
    Model(16, "NOLVAR"),
    Model(17, "ORSIK"),
    Model(18, "PENDRO"),
    Model(19, "QUASTEL"),
    Model(20, "RIMBOL"),
    Model(21, "SARVEK"),
    Other(22, "TOLVIN"),
    Other(23, "UDRASK"),
    Other(24, "VENNOR"),
    Other(25, "WEXLAR"),
    Other(26, "YORVATH"),
    Other(27, "ZELMOR"),
    Other(28, "AMBREL"),
    Other(29, "BEXTON"),
    Other(30, "CORVANE"),
    Other(31, "DELMOK"),
    Other(32, "ESKVAR"),
    Other(33, "FORNEL"),
};

} // namespace

RowList<ModelRow> ModelRegistry::Rows()
{
    return RowsOf(kModels);
}

const ModelRow* ModelRegistry::Find(int moduleType)
{
    if (moduleType < 0 || std::size_t(moduleType) >= Rows().size)
        return nullptr;
    return &kModels[moduleType];
}

std::string ModelRegistry::FolderName(const ModelRow& row)
{
    std::string folder(row.name);
    for (char& c : folder)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return folder;
}

WrapperMaker ModelRegistry::WrapperFor(int moduleType) const
{
    const ModelRow* row = Find(moduleType);
    return row ? row->makeWrapper : nullptr;
}
