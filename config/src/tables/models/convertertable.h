// Rows of the converter models' tables: every row follows the converter
// recipe (feature type 3; persistence, register and reset types as a new
// descriptor has them; regex "*" on integers only).
#ifndef TOVIKCONFIG_TABLES_MODELS_CONVERTERTABLE_H
#define TOVIKCONFIG_TABLES_MODELS_CONVERTERTABLE_H

#include "tables/tablerow.h"
#include "tovikconfig/paramtypes.h"

// A parameter id constant and its id name, from one token.
#define TOVIK_ID(constant) constant, #constant

namespace tovikconfig {
namespace tables {

constexpr std::int64_t kConverterFeature = 3;

constexpr Row StringRow(eParam_t id, const char* idName, const char* name, const char* shortName,
                        std::int64_t access, List<Marker> markers, const char* def = nullptr)
{
    return Row{id, idName, name, shortName, Kind::String, eCParam_StringValue, kConverterFeature, access,
               ePersist_Persists, eUserRegister_Included, eFactoryReset_WarmFuzzy, kNoNumbers,
               Texts{kUnset, kUnset, kUnset, kUnset, def}, kNoItems, ItemOrder::DefaultFirst, markers,
               Source::Row, Recipe::Converter};
}

// def kUnset: the enumeration keeps the 0 it starts with.
constexpr Row EnumRow(eParam_t id, const char* idName, const char* name, const char* shortName,
                      std::int64_t access, List<Item> items, List<Marker> markers, std::int64_t def = kUnset)
{
    return Row{id, idName, name, shortName, Kind::Enum, eCParam_EnumValue, kConverterFeature, access,
               ePersist_Persists, eUserRegister_Included, eFactoryReset_WarmFuzzy,
               Numbers{kUnset, kUnset, def, kUnset, kUnset, kUnset, kUnset, nullptr}, kNoTexts, items,
               ItemOrder::DefaultFirst, markers, Source::Row, Recipe::Converter};
}

constexpr Row IntegerRow(eParam_t id, const char* idName, const char* name, const char* shortName,
                         std::int64_t access, Numbers numbers, List<Marker> markers)
{
    return Row{id, idName, name, shortName, Kind::Integer, eCParam_IntegerValue, kConverterFeature, access,
               ePersist_Persists, eUserRegister_Included, eFactoryReset_WarmFuzzy, numbers, kNoTexts,
               kNoItems, ItemOrder::DefaultFirst, markers, Source::Row, Recipe::Converter};
}

// Limits and default with the step values set explicitly (adjust 1, scale
// 1, precision 0, offset 0); max kUnset keeps the 0 the integer starts with.
constexpr Numbers Range(std::int64_t min, std::int64_t max, std::int64_t def)
{
    return Numbers{min, max, def, 1, 1, 0, 0, nullptr};
}

// Only the default; the rest keeps what the integer starts with.
constexpr Numbers DefaultOnly(std::int64_t def)
{
    return Numbers{kUnset, kUnset, def, kUnset, kUnset, kUnset, kUnset, nullptr};
}

// Attribute sets of one "DisplayType" and nothing else.
inline constexpr Marker kDisplayType1[] = {NumberAttr("DisplayType", 0x1)};
inline constexpr Marker kDisplayType2[] = {NumberAttr("DisplayType", 0x2)};
inline constexpr Marker kDisplayType8[] = {NumberAttr("DisplayType", 0x8)};
inline constexpr Marker kDisplayType2000[] = {NumberAttr("DisplayType", 0x2000)};
inline constexpr Marker kDisplayType2002[] = {NumberAttr("DisplayType", 0x2002)};
inline constexpr Marker kDisplayType8000[] = {NumberAttr("DisplayType", 0x8000)};

} // namespace tables
} // namespace tovikconfig

#endif
