#include "tovikconfig/commonconfig.h"

#include "tables/tablerow.h"
#include "tovikconfig/boxparamids.h"

namespace CommonConfig {

namespace {

using namespace tovikconfig;
using namespace tovikconfig::tables;

constexpr std::int64_t kAnyValue = 0xFFFFFFFF;

constexpr Marker kVersionMarkers[] = {ClassName("readonly"), NumberAttr("DisplayType", 0x2002)};

constexpr Row VersionRow(std::uint32_t id, const char* idName, const char* name, const char* shortName)
{
    return Row{id, idName, name, shortName, Kind::String, 12, 2, kUnset, 1, 1, 2, kNoNumbers,
               Default("Unknown Version"), kNoItems, ItemOrder::DefaultFirst,
               ListOf(kVersionMarkers), Source::Row};
}

constexpr Item kUpdateStateItems[] = {
    {0, "Update Idle", "Idle"},          {1, "Update Uploading", "Uploading"},
    {2, "Update Uploaded", "Uploaded"},  {3, "Update Verifying", "Verifying"},
    {4, "Update Verified", "Verified"},  {5, "Update Committing", "Committing"},
    {6, "Update Committed", "Committed"}, {7, "Update Rebooting", "Rebooting"},
    {8, "Update Aborted", "Aborted"},
};
constexpr Item kVerificationItems[] = {
    {0, "Image Valid", "Valid"},
    {1, "Nothing Uploaded Yet", "No Upload"},
    {2, "Wrong product", "Wrong Product"},
    {3, "Image Incomplete", "Incomplete"},
    {4, "Image Too Big", "Too Big"},
    {5, "Image Checksum Mismatch", "Bad Chksum"},
    {6, "Image Digitial Signature Failure", "Bad Signature"},
};
constexpr Item kCommitStateItems[] = {
    {0, "Idle", "Idle"}, {1, "In Progress", "In Progress"}, {2, "Failed", "Failed"}, {3, "Complete", "Complete"}};
constexpr Item kRebootItems[] = {{1, "Most Recent", "Newest"}, {2, "Safeboot", "Safeboot"}};

constexpr Marker kUpdateStateMarkers[] = {TextAttr("description", "The current system update state."),
                                          NumberAttr("DisplayType", 1)};
constexpr Marker kVerificationMarkers[] = {
    TextAttr("description", "Result of validity check on an uploaded firmware image."),
    ClassName("readonly"), NumberAttr("DisplayType", 1)};
constexpr Marker kVolatileDisplay1[] = {ClassName("volatile"), NumberAttr("DisplayType", 1)};
constexpr Marker kCommitStateMarkers[] = {TextAttr("description", "Status of firmware commit process."),
                                          ClassName("readonly"), NumberAttr("DisplayType", 1)};
constexpr Marker kReadonlyDisplay1[] = {ClassName("readonly"), NumberAttr("DisplayType", 1)};
constexpr Marker kRebootMarkers[] = {TextAttr("description", "Reboot to a specified image."),
                                     ClassName("volatile"), NumberAttr("DisplayType", 1)};
constexpr Marker kDisplayText[] = {NumberAttr("DisplayType", 0x2002)};
constexpr Marker kReadonlyText[] = {ClassName("readonly"), NumberAttr("DisplayType", 0x2002)};

// id, id name, name, short name, class, param type, feature, access, persist,
// register, reset, numbers, texts, items, item order, markers, source
constexpr Row kVersionRows[] = {
    VersionRow(TOVIK_PARAM(eParamID_CurrentlyRunningImageVersion), "Current SW Version", "Curr Ver"),
    VersionRow(TOVIK_PARAM(eParamID_MostRecentImageVersion), "Most recently updated SW Version", "Recent Ver"),
    VersionRow(TOVIK_PARAM(eParamID_SafebootImageVersion), "Safeboot SW Version", "Safeboot Ver"),
    VersionRow(TOVIK_PARAM(eParamID_BootloaderVersion), "Bootloader Version", "Bootload Ver"),
    {TOVIK_PARAM(eParamID_FirmwareUpdateState), "Firmware Update State", "FW Update", Kind::Enum, 3, kUnset,
     kUnset, 1, 1, 1, Limits(0, 8, 0, 1), kNoTexts, ListOf(kUpdateStateItems), ItemOrder::DefaultFirst,
     ListOf(kUpdateStateMarkers), Source::Row},
    VersionRow(TOVIK_PARAM(eParamID_UploadedImageVersion), "Uploaded Image Version", "Uploaded Ver"),
    {TOVIK_PARAM(eParamID_UploadedImageVerification), "Uploaded Image Verification", "Upload Verify",
     Kind::Enum, 3, kUnset, kUnset, 1, 1, 1, Limits(0, 6, 1, 1), kNoTexts, ListOf(kVerificationItems),
     ItemOrder::DefaultFirst, ListOf(kVerificationMarkers), Source::Row},
    // A trigger: any value may be written.
    {TOVIK_PARAM(eParamID_UploadedImageCommit), "Uploaded Image Commit Trigger", "Upload Commit",
     Kind::Integer, 4, 5, kUnset, 1, 1, 0, Limits(0, kAnyValue, 0), kNoTexts, kNoItems,
     ItemOrder::DefaultFirst, ListOf(kVolatileDisplay1), Source::Row},
    {TOVIK_PARAM(eParamID_CommitStatusState), "State of Firmware Commit", "FW Commit State", Kind::Enum, 3,
     kUnset, kUnset, 1, 1, 1, Limits(0, 3, 0, 1), kNoTexts, ListOf(kCommitStateItems),
     ItemOrder::DefaultFirst, ListOf(kCommitStateMarkers), Source::Row},
    {TOVIK_PARAM(eParamID_CommitStatusPercentage), "Commit Status Percentage", "Commit Pct", Kind::Integer,
     5, 5, kUnset, 1, 1, 0, Limits(0, 100, 0), kNoTexts, kNoItems, ItemOrder::DefaultFirst,
     ListOf(kReadonlyDisplay1), Source::Row},
    {TOVIK_PARAM(eParamID_Reboot), "System Reboot Trigger", "Reboot", Kind::Enum, 3, kUnset, kUnset, 1, 1, 0,
     Limits(1, 2, 1, 1), kNoTexts, ListOf(kRebootItems), ItemOrder::DefaultFirst,
     ListOf(kRebootMarkers), Source::Row},
    {TOVIK_PARAM(eParamID_UpdateFirmwareFromFile), "Update firmware from file", "UpdateFWFile",
     Kind::String, 12, 2, kUnset, 1, 1, 0, kNoNumbers, Default(""), kNoItems, ItemOrder::DefaultFirst,
     ListOf(kDisplayText), Source::Row},
    // A trigger: any value may be written.
    {TOVIK_PARAM(eParamID_UploadRequest), "Upload area access request", "Upload Request", Kind::Integer, 4,
     5, kUnset, 1, 1, 0, Limits(0, kAnyValue, 0), kNoTexts, kNoItems, ItemOrder::DefaultFirst,
     ListOf(kVolatileDisplay1), Source::Row},
    {TOVIK_PARAM(eParamID_UploadPath), "Path to directory store uploaded files into", "Upload path",
     Kind::String, 12, 2, kUnset, 1, 1, 2, kNoNumbers, Default(""), kNoItems, ItemOrder::DefaultFirst,
     ListOf(kReadonlyText), Source::Row},
};

} // namespace

bool VersionConfig::CreateVersionDescriptor(DescriptorTable* table, unsigned int id, char const* idName,
                                            char const* name, char const* shortName)
{
    if (!idName || !name || !shortName)
        return false;
    return AddRow(table, VersionRow(id, idName, name, shortName));
}

bool VersionConfig::AddParamDescriptors(DescriptorTable* table)
{
    AddEveryRow(table, ListOf(kVersionRows));
    return true;
}

} // namespace CommonConfig
