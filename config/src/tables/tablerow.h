// One descriptor as data: the row type of every parameter table and the
// builder that turns a row into a descriptor.
#ifndef TOVIKCONFIG_TABLES_TABLEROW_H
#define TOVIKCONFIG_TABLES_TABLEROW_H

#include <cstddef>
#include <cstdint>
#include <string>

class DescriptorTable;
class ParamDescriptor;

namespace tovikconfig {
namespace tables {

// A field the row leaves alone keeps the descriptor class's own value.
constexpr std::int64_t kUnset = -1;

// A row's id and id name, both from one named id constant:
//   {TOVIK_PARAM(eParamID_IPConfig), "IP Address Type", ...}
#define TOVIK_PARAM(constant) static_cast<std::uint32_t>(constant), #constant

enum class Kind : std::uint8_t { Integer, Enum, String };

template <typename T>
struct List {
    const T* data;
    std::size_t size;
    const T* begin() const { return data; }
    const T* end() const { return data + size; }
};

template <typename T, std::size_t N>
constexpr List<T> ListOf(const T (&items)[N])
{
    return List<T>{items, N};
}

// One enumeration item; a null short name means the name is used for both.
struct Item {
    unsigned int value;
    const char* name;
    const char* shortName;
};

// A class name or an attribute, applied in row order.
enum class MarkerKind : std::uint8_t { ClassName, Number, Text };
struct Marker {
    MarkerKind kind;
    const char* key;
    unsigned int number;
    const char* text;
};
constexpr Marker ClassName(const char* name) { return Marker{MarkerKind::ClassName, name, 0, nullptr}; }
constexpr Marker NumberAttr(const char* key, unsigned int value) { return Marker{MarkerKind::Number, key, value, nullptr}; }
constexpr Marker TextAttr(const char* key, const char* text) { return Marker{MarkerKind::Text, key, 0, text}; }

// Integer and enumeration values.
struct Numbers {
    std::int64_t min, max, def, adjust, scale, offset, precision;
    const char* units; // null: not set
};
constexpr Numbers kNoNumbers{kUnset, kUnset, kUnset, kUnset, kUnset, kUnset, kUnset, nullptr};
constexpr Numbers Limits(std::int64_t min, std::int64_t max, std::int64_t def, std::int64_t adjust = kUnset)
{
    return Numbers{min, max, def, adjust, kUnset, kUnset, kUnset, nullptr};
}

// String values.
struct Texts {
    std::int64_t minLength, maxLength, minIndex, maxIndex;
    const char* def; // null: not set
};
constexpr Texts kNoTexts{kUnset, kUnset, kUnset, kUnset, nullptr};
constexpr Texts Default(const char* def) { return Texts{kUnset, kUnset, kUnset, kUnset, def}; }
constexpr Texts Lengths(std::int64_t minLength, std::int64_t maxLength, std::int64_t minIndex,
                        std::int64_t maxIndex, const char* def)
{
    return Texts{minLength, maxLength, minIndex, maxIndex, def};
}

// Values taken when the descriptor is built rather than from the row.
enum class Source : std::uint8_t {
    Row,          // everything from the row
    MacAddress,   // string default: the MAC address of "eth0"
    SystemName,   // string default: the default system name
    SerialNumber, // string default: the box serial number
    PresetCount   // integer maximum: the preset count of the build
};

enum class ItemOrder : std::uint8_t { DefaultFirst, ItemsFirst };

// The order in which the builder fills a descriptor.
//   Box: identity, type, every flag, regex "*", values, items, markers.
//   Converter: identity, type; a string's default or an integer's regex "*"
//   and values; access and feature; an enumeration's default and items;
//   markers. Persistence, register and reset types keep the class's own
//   values, and strings and enumerations get no regex.
enum class Recipe : std::uint8_t { Box, Converter };

struct Row {
    std::uint32_t id;
    const char* idName;
    const char* name;
    const char* shortName;
    Kind kind;
    std::uint32_t paramType;
    std::int64_t feature;
    std::int64_t access;
    std::uint32_t persist;
    std::uint32_t registerType;
    std::uint32_t reset;
    Numbers numbers;
    Texts texts;
    List<Item> items;
    ItemOrder itemOrder;
    List<Marker> markers;
    Source source;
    Recipe recipe = Recipe::Box;
};

constexpr List<Item> kNoItems{nullptr, 0};
constexpr List<Marker> kNoMarkers{nullptr, 0};

// What a row family member or a build adds to a row.
struct RowContext {
    int n = 0;              // > 0: "%d" in the row's texts stands for n
    std::uint32_t id = 0;   // nonzero: replaces the row's id
    int presetCount = 0;    // for Source::PresetCount
};

// Replaces each "%d" of a template text with n in decimal.
std::string ExpandTemplate(const char* text, int n);

// A new descriptor of the row's class, filled in the order of its recipe.
ParamDescriptor* BuildDescriptor(const Row& row, const RowContext& context = RowContext());

// Builds the row and hands it to the table; the table's answer.
bool AddRow(DescriptorTable* table, const Row& row, const RowContext& context = RowContext());

// Offers every row; refusals do not stop the walk.
void AddEveryRow(DescriptorTable* table, List<Row> rows, const RowContext& context = RowContext());

// Offers the rows in order and stops at the first refusal: false then, else
// the answer to the last row (true for no rows).
bool AddRowsUntilRefused(DescriptorTable* table, List<Row> rows, const RowContext& context = RowContext());

} // namespace tables
} // namespace tovikconfig

#endif
