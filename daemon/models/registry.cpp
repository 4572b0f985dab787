#include "registry.h"

#include <cctype>

#include "arvel/cidrel.h"
#include "brindo/cbrindo.h"
#include "cadmer/ccadmer.h"
#include "devicewrapper.h"
#include "dovrin/cdovrin.h"
#include "estrow/cestrow.h"
#include "falcrin/cfalcrin.h"
#include "gesmor/cgesmor.h"
#include "gravo/cgravo.h"
#include "harvik/charvik.h"
#include "ilmaro/cilmaro.h"
#include "jastel/cjastel.h"
#include "kelvro/ckelvro.h"
#include "lomrik/clomrik.h"
#include "nolvar/cnolvar.h"
#include "hestra/hestrawrapper.h"
#include "mardex/mardexwrapper.h"
#include "pendro/pendrowrapper.h"
#include "quastel/quastelwrapper.h"
#include "roiscaler/roiscalerblock.h"

namespace {

// The block maker of a model's block class.
template <class Block>
CConfigBlockIF* MakeBlock(CCmdEngine* owner, UByte fpgaId, UByte blockId)
{
    return new Block(owner, fpgaId, blockId);
}

// A model the dispatch knows: model number = module type + 1, also
// published as the slot's type. Its block maker and wrapper maker follow
// the name where it has them.
constexpr ModelRow Model(int moduleType, const char* name, BlockMaker block = nullptr,
                         WrapperMaker wrapper = nullptr)
{
    return ModelRow{moduleType, name, tovikconfig::ViveRode_t(moduleType + 1), quint32(moduleType + 1),
                    block, wrapper};
}

// A module type the dispatch has no model number for: the slot shows it as
// "Unknown".
constexpr ModelRow Other(int moduleType, const char* name)
{
    return ModelRow{moduleType, name, 0, DeviceWrapper::kOtherTypeCode, nullptr, nullptr};
}

// Row i is module type i.
constexpr ModelRow kModels[] = {
    Other(0, "Unknown"),
    Model(1, "ARVEL", MakeBlock<CIdrel>),
    Model(2, "BRINDO", MakeBlock<CBrindo>),
    Model(3, "CADMER", MakeBlock<CCadmer>),
    Model(4, "GRAVO", MakeBlock<CGravo>),
    Model(5, "HESTRA", MakeBlock<CHestra>, HestraWrapper::Make),
    Model(6, "DOVRIN", MakeBlock<CDovrin>),
    Model(7, "ESTROW", MakeBlock<CEstrow>),
    Model(8, "FALCRIN", MakeBlock<CFalcrin>),
    Model(9, "GESMOR", MakeBlock<CGesmor>),
    Model(10, "HARVIK", MakeBlock<CHarvik>),
    Model(11, "ILMARO", MakeBlock<CIlmaro>),
    Model(12, "JASTEL", MakeBlock<CJastel>),
    Model(13, "KELVRO", MakeBlock<CKelvro>),
    Model(14, "MARDEX", MakeBlock<CMardex>, MardexWrapper::Make),
    Model(15, "LOMRIK", MakeBlock<CLomrik>),
    Model(16, "NOLVAR", MakeBlock<CNolvar>),
    Model(17, "ORSIK"),
    Model(18, "PENDRO", MakeBlock<CPendro>, PendroWrapper::Make),
    Model(19, "QUASTEL", MakeBlock<CQuastel>, QuastelWrapper::Make),
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
