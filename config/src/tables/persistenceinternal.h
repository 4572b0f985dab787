// The persistence table with the preset count given, for tests; the public
// operations take it from GetMaxConfigID().
#ifndef TOVIKCONFIG_TABLES_PERSISTENCEINTERNAL_H
#define TOVIKCONFIG_TABLES_PERSISTENCEINTERNAL_H

class DescriptorTable;

namespace CommonConfig {
namespace internal {

// The count the tables use: negative counts give 0, counts above the
// number of preset-name ids give that number.
int UsablePresetCount(int count);

bool AddPresetNameDescriptors(DescriptorTable* table, int count);
bool AddPersistenceDescriptors(DescriptorTable* table, int count);

} // namespace internal
} // namespace CommonConfig

#endif
