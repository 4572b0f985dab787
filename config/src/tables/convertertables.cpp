#include "tables/convertertables.h"

#include "tovikconfig/models/modelconfigs.h"

namespace tovikconfig {

namespace {

struct ConverterTableRow {
    ViveRode_t model;
    ConverterTableFn table;
};

// One row per model of the model list with a table; every other model
// number's config holds the connection status only.
#define TOVIKCONFIG_TABLE_ROW(type, number, NAME, Display, ns, Config, ...) {number, &ns::Config::AddParamDescriptors},
#define TOVIKCONFIG_NO_TABLE(...)
constexpr ConverterTableRow kConverterTables[] = {
    TOVIK_MODEL_LIST(TOVIKCONFIG_TABLE_ROW, TOVIKCONFIG_NO_TABLE, TOVIKCONFIG_NO_TABLE)};
#undef TOVIKCONFIG_NO_TABLE
#undef TOVIKCONFIG_TABLE_ROW

constexpr bool NumbersInRange()
{
    for (const ConverterTableRow& row : kConverterTables)
        if (row.model < 2 || row.model >= kViveRodeCount)
            return false;
    return true;
}
static_assert(NumbersInRange(), "a converter model number is 2 to 23");

} // namespace

ConverterTableFn ConverterTable(ViveRode_t model)
{
    if (model < 2 || model >= kViveRodeCount)
        return nullptr;
    for (const ConverterTableRow& row : kConverterTables)
        if (row.model == model)
            return row.table;
    return nullptr;
}

} // namespace tovikconfig
