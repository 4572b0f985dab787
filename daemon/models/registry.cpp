#include "registry.h"

#include <cstddef>
#include <iterator>

#include "devicewrapper.h"
#include "modeldeclarations.h"
#include "tovikconfig/models/modellist.h"

namespace {

// The block maker of a model's block class.
template <class Block>
CConfigBlockIF* MakeBlock(CCmdEngine* owner, UByte fpgaId, UByte blockId)
{
    return new Block(owner, fpgaId, blockId);
}

// A model row's wrapper maker: its wrapper class's Make, or none.
struct NoWrapper;
template <class Wrapper>
constexpr WrapperMaker MakerOf()
{
    return &Wrapper::Make;
}
template <>
constexpr WrapperMaker MakerOf<NoWrapper>()
{
    return nullptr;
}

// A model the dispatch knows: its model number is also published as the
// slot's type. Its block maker and wrapper maker follow where it has them.
constexpr ModelRow Model(int moduleType, tovikconfig::ViveRode_t number, const char* name,
                         BlockMaker block = nullptr, WrapperMaker wrapper = nullptr)
{
    return ModelRow{moduleType, name, number, quint32(number), block, wrapper};
}

// A module type the dispatch has no model number for: the slot shows it as
// "Unknown".
constexpr ModelRow Other(int moduleType, const char* name)
{
    return ModelRow{moduleType, name, 0, DeviceWrapper::kOtherTypeCode, nullptr, nullptr};
}

// Row i is module type i: the model list's rows.
#define PORTVANE_MODEL_ROW(type, number, name, display, ns, config, block, wrapper, description)             \
    Model(type, number, name, MakeBlock<block>, MakerOf<wrapper>()),
#define PORTVANE_NUMBERED_ROW(type, number, name, display) Model(type, number, name),
#define PORTVANE_OTHER_ROW(type, name) Other(type, name),
constexpr ModelRow kModels[] = {TOVIK_MODEL_LIST(PORTVANE_MODEL_ROW, PORTVANE_NUMBERED_ROW, PORTVANE_OTHER_ROW)};
#undef PORTVANE_OTHER_ROW
#undef PORTVANE_NUMBERED_ROW
#undef PORTVANE_MODEL_ROW

constexpr bool InModuleTypeOrder()
{
    for (std::size_t i = 0; i < std::size(kModels); ++i)
        if (kModels[i].moduleType != int(i))
            return false;
    return true;
}
static_assert(InModuleTypeOrder(), "row i of the model list is module type i");

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

WrapperMaker ModelRegistry::WrapperFor(int moduleType) const
{
    const ModelRow* row = Find(moduleType);
    return row ? row->makeWrapper : nullptr;
}
