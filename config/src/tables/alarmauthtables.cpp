#include "tovikconfig/commonconfig.h"

#include "tables/tablerow.h"
#include "tovikconfig/boxparamids.h"

namespace CommonConfig {

namespace {

using namespace tovikconfig;
using namespace tovikconfig::tables;

constexpr Item kSafebootItems[] = {{0, "NORMAL BOOT", "NORMAL"}, {1, "SAFEBOOT MODE", "SAFEBOOT"}};
constexpr Item kAuthItems[] = {{0, "Disabled", "Disabled"}, {1, "Enabled", "Enabled"}};

constexpr Marker kAuthMarkers[] = {NumberAttr("DisplayType", 0x1000), ClassName("volatile")};
constexpr Marker kPasswordMarkers[] = {ClassName("volatile"), NumberAttr("DisplayType", 0x2000)};

// id, id name, name, short name, class, param type, feature, access, persist,
// register, reset, numbers, texts, items, item order, markers, source
constexpr Row kAlarmRows[] = {
    {TOVIK_PARAM(eParamID_SafebootMode), "Safeboot Alarm", "Safeboot", Kind::Enum, 3, 3, 0, 1, 1, 0,
     Limits(0, 1, 0, 1), kNoTexts, ListOf(kSafebootItems), ItemOrder::DefaultFirst, kNoMarkers,
     Source::Row},
};

constexpr Row kAuthRows[] = {
    {TOVIK_PARAM(eParamID_Authentication), "Authentication", "Auth", Kind::Enum, 3, 3, 0, 0, 1, 2,
     Limits(0, 1, 0, 1), kNoTexts, ListOf(kAuthItems), ItemOrder::DefaultFirst, ListOf(kAuthMarkers),
     Source::Row},
    {TOVIK_PARAM(eParamID_SystemPassword), "System Password", "Password", Kind::String, 12, 3, 0, 0, 1, 2,
     kNoNumbers, Lengths(0, 20, 0, 19, "quenbird"), kNoItems, ItemOrder::DefaultFirst,
     ListOf(kPasswordMarkers), Source::Row},
};

} // namespace

bool AlarmConfig::AddParamDescriptors(DescriptorTable* table)
{
    AddEveryRow(table, ListOf(kAlarmRows));
    return true;
}

bool AuthConfig::AddParamDescriptors(DescriptorTable* table)
{
    AddEveryRow(table, ListOf(kAuthRows));
    return true;
}

} // namespace CommonConfig
