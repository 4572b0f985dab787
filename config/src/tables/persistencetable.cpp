#include "tovikconfig/commonconfig.h"

#include "paramlink/maxconfigid.h"
#include "tables/persistenceinternal.h"
#include "tables/tablerow.h"
#include "tovikconfig/boxparamids.h"

namespace CommonConfig {

namespace {

using namespace tovikconfig;
using namespace tovikconfig::tables;

constexpr Marker kPresetNameMarkers[] = {
    TextAttr("menu_number", "0.%d"), ClassName("panel_hidden"),
    TextAttr("description", "The user-assignable name of this preset.")};

// One row for every preset name; the family loop gives n and the id.
constexpr Row kPresetNameRow{0, "eParamID_PresetName_%d", "Preset #%d", "Name Pre", Kind::String, 12,
                             2, kUnset, 0, 1, 0, kNoNumbers, Default("Preset %d"), kNoItems,
                             ItemOrder::DefaultFirst, ListOf(kPresetNameMarkers), Source::Row};

// Preset triggers: 1 .. preset count, offset 1.
constexpr Numbers TriggerNumbers(std::int64_t def) { return Numbers{1, kUnset, def, 1, 1, 1, 0, ""}; }
constexpr Numbers kResultNumbers{0, 4, 0, 1, 1, 1, 0, ""};
constexpr Numbers kStatusNumbers = Limits(0, 2, 0, 1);

constexpr Item kRecallItems[] = {{0, "", ""}, {1, "Recalling...", "Recallng"}, {2, "Complete", "Complete"},
                                 {4, "Preset Empty", "Empty"}, {3, "Recall Failed", "Failed"}};
constexpr Item kSaveItems[] = {{0, "", ""}, {1, "Saving...", "Saving."}, {2, "Complete", "Complete"},
                               {4, "Preset Empty", "Empty"}, {3, "Save Failed", "Failed"}};
constexpr Item kExportItems[] = {{0, "", ""}, {1, "Exporting...", "Exporting"},
                                 {2, "Export Complete", "Complete"}, {4, "Preset Empty", "Empty"},
                                 {3, "Export Failed", "Failed"}};
constexpr Item kImportItems[] = {{0, "", ""}, {1, "Importing...", "Importing"},
                                 {2, "Import Complete", "Complete"}, {4, "Preset Empty", "Empty"},
                                 {3, "Import Failed", "Failed"}};
constexpr Item kPersistItems[] = {{0, "Good", "Good"}, {1, "Load Error", "Load Error"},
                                  {2, "Load Failed", "Load Failed"}};
constexpr Item kFactoryItems[] = {{1, "Soft Factory Reset", "Soft Factory Reset"},
                                  {2, "Hard Factory Reset", "Hard Factory Reset"}};

constexpr Marker kRecallMarkers[] = {ClassName("volatile"), ClassName("do_not_validate"),
                                     TextAttr("description", "Recall a preset from internal flash storage.")};
constexpr Marker kRecallResultMarkers[] = {
    ClassName("readonly"), TextAttr("description", "Human-readable result of a preset recall operation.")};
constexpr Marker kSaveMarkers[] = {ClassName("volatile"),
                                   TextAttr("description", "Save a preset to internal flash storage.")};
constexpr Marker kSaveResultMarkers[] = {
    ClassName("volatile"), ClassName("readonly"),
    TextAttr("description", "Human-readable result of a preset save operation.")};
constexpr Marker kLoadMarkers[] = {ClassName("volatile"), ClassName("panel_hidden"),
                                   TextAttr("description", "Export a preset to an external device.")};
constexpr Marker kLoadResultMarkers[] = {
    ClassName("volatile"), ClassName("readonly"), ClassName("panel_hidden"),
    TextAttr("description", "Human-readable result of a preset export operation.")};
constexpr Marker kStoreMarkers[] = {ClassName("volatile"), ClassName("panel_hidden"),
                                    TextAttr("description", "Import a preset from an external device.")};
constexpr Marker kStoreResultMarkers[] = {
    ClassName("volatile"), ClassName("readonly"), ClassName("panel_hidden"),
    TextAttr("description", "Human-readable result of a preset import operation.")};
constexpr Marker kExportResultMarkers[] = {
    ClassName("volatile"), ClassName("readonly"),
    TextAttr("description", "Human-readable result of a preset export operation.")};
constexpr Marker kImportResultMarkers[] = {
    ClassName("volatile"), ClassName("readonly"),
    TextAttr("description", "Human-readable result of a preset import operation.")};
constexpr Marker kPersistMarkers[] = {ClassName("hidden_param"), TextAttr("description", "Persistence Status")};
constexpr Marker kFactoryMarkers[] = {TextAttr("description", "Recalls factory default settings."),
                                      ClassName("volatile")};

constexpr Row Trigger(std::uint32_t id, const char* idName, const char* name, const char* shortName,
                      std::int64_t def, List<Marker> markers)
{
    return Row{id, idName, name, shortName, Kind::Integer, 4, 3, kUnset, 1, 1, 0, TriggerNumbers(def), kNoTexts,
               kNoItems, ItemOrder::DefaultFirst, markers, Source::PresetCount};
}

constexpr Row Result(std::uint32_t id, const char* idName, const char* name, const char* shortName,
                     List<Item> items, List<Marker> markers)
{
    return Row{id, idName, name, shortName, Kind::Enum, 3, 3, kUnset, 1, 1, 0, kResultNumbers, kNoTexts,
               items, ItemOrder::DefaultFirst, markers, Source::Row};
}

constexpr Row Status(std::uint32_t id, const char* idName, const char* name, const char* shortName,
                     List<Item> items, List<Marker> markers)
{
    return Row{id, idName, name, shortName, Kind::Enum, 3, 2, kUnset, 1, 1, 0, kStatusNumbers, kNoTexts,
               items, ItemOrder::DefaultFirst, markers, Source::Row};
}

constexpr Row kPersistenceRows[] = {
    Trigger(TOVIK_PARAM(eParamID_RegisterRecall), "Recall Preset", "RecllPre", 1, ListOf(kRecallMarkers)),
    Result(TOVIK_PARAM(eParamID_RegisterRecallResult), "Recall Result", "RecallR", ListOf(kRecallItems),
           ListOf(kRecallResultMarkers)),
    Trigger(TOVIK_PARAM(eParamID_RegisterSave), "Save Preset", "Pre Save", 1, ListOf(kSaveMarkers)),
    Result(TOVIK_PARAM(eParamID_RegisterSaveResult), "Save Result", "Save R", ListOf(kSaveItems),
           ListOf(kSaveResultMarkers)),
    Trigger(TOVIK_PARAM(eParamID_RegisterLoad), "Load Preset", "LoadP", 0, ListOf(kLoadMarkers)),
    Result(TOVIK_PARAM(eParamID_RegisterLoadResult), "Load Result", "LoadR", ListOf(kExportItems),
           ListOf(kLoadResultMarkers)),
    Trigger(TOVIK_PARAM(eParamID_RegisterStore), "Store Preset", "StoreP", 0, ListOf(kStoreMarkers)),
    Result(TOVIK_PARAM(eParamID_RegisterStoreResult), "Store Result", "StoreR", ListOf(kImportItems),
           ListOf(kStoreResultMarkers)),
    Result(TOVIK_PARAM(eParamID_RegisterExportResult), "Export Result", "ExptR", ListOf(kExportItems),
           ListOf(kExportResultMarkers)),
    Result(TOVIK_PARAM(eParamID_RegisterImportResult), "Import Result", "ImptR", ListOf(kImportItems),
           ListOf(kImportResultMarkers)),
    Status(TOVIK_PARAM(eParamID_PersistStatus), "Persist Status", "PStatus", ListOf(kPersistItems),
           ListOf(kPersistMarkers)),
    Status(TOVIK_PARAM(eParamID_FactorySettings), "Factory Reset", "Factory", ListOf(kFactoryItems),
           ListOf(kFactoryMarkers)),
};

} // namespace

namespace internal {

int UsablePresetCount(int count)
{
    if (count < 0)
        return 0;
    return count > tovikconfig::kPresetNameCount ? tovikconfig::kPresetNameCount : count;
}

bool AddPresetNameDescriptors(DescriptorTable* table, int count)
{
    const int presets = UsablePresetCount(count);
    for (int n = 1; n <= presets; ++n) {
        RowContext context;
        context.n = n;
        context.id = tovikconfig::PresetNameParamID(n);
        AddRow(table, kPresetNameRow, context);
    }
    return true;
}

bool AddPersistenceDescriptors(DescriptorTable* table, int count)
{
    AddPresetNameDescriptors(table, count);
    RowContext context;
    context.presetCount = UsablePresetCount(count);
    AddEveryRow(table, ListOf(kPersistenceRows), context);
    return true;
}

} // namespace internal

bool PersistenceConfig::CreateParamDescriptor_PresetNames(DescriptorTable* table)
{
    return internal::AddPresetNameDescriptors(table, GetMaxConfigID());
}

bool PersistenceConfig::AddParamDescriptors(DescriptorTable* table)
{
    return internal::AddPersistenceDescriptors(table, GetMaxConfigID());
}

} // namespace CommonConfig
