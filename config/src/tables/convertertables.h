// The converter models' own table functions, by model number.
#ifndef TOVIKCONFIG_TABLES_CONVERTERTABLES_H
#define TOVIKCONFIG_TABLES_CONVERTERTABLES_H

#include "tovikconfig/tovikconfig.h"

namespace tovikconfig {

typedef bool (*ConverterTableFn)(DescriptorTable*);

// The model's table function; null for a model number outside 2..23 and for
// a model whose config holds the connection status only.
ConverterTableFn ConverterTable(ViveRode_t model);

} // namespace tovikconfig

#endif
