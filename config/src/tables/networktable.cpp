#include "tovikconfig/commonconfig.h"

#include "tables/tablerow.h"
#include "tovikconfig/boxparamids.h"

namespace CommonConfig {

namespace {

using namespace tovikconfig;
using namespace tovikconfig::tables;

constexpr std::int64_t kAnyValue = 0xFFFFFFFF;

constexpr Item kIPConfigItems[] = {{1, "DHCP", "DHCP"}, {2, "Static Addr", "Static"}};
constexpr Item kEnableItems[] = {{0, "Disable", "Disable"}, {1, "Enable", "Enable"}};
constexpr Item kYesNoItems[] = {{0, "No", "No"}, {1, "Yes", "Yes"}};

constexpr Marker kVolatileDisplay8[] = {ClassName("volatile"), NumberAttr("DisplayType", 8)};
constexpr Marker kDisplayAddress[] = {NumberAttr("DisplayType", 0x2000)};
constexpr Marker kVolatileAddress[] = {ClassName("volatile"), NumberAttr("DisplayType", 0x2000)};
constexpr Marker kVolatileReadonlyAddress[] = {ClassName("volatile"), ClassName("readonly"),
                                               NumberAttr("DisplayType", 0x2000)};
constexpr Marker kReadonlyAddress[] = {ClassName("readonly"), NumberAttr("DisplayType", 0x2000)};
constexpr Marker kDisplay1[] = {NumberAttr("DisplayType", 1)};
constexpr Marker kVolatileDisplay1[] = {ClassName("volatile"), NumberAttr("DisplayType", 1)};

constexpr Texts Address(const char* def) { return Lengths(0, 20, 0, 19, def); }

// id, id name, name, short name, class, param type, feature, access, persist,
// register, reset, numbers, texts, items, item order, markers, source
constexpr Row kNetworkRows[] = {
    {TOVIK_PARAM(eParamID_IPConfig), "IP Address Type", "IP Type", Kind::Enum, 3, 1, 0, 0, 1, 2,
     Limits(0, 2, 1, 1), kNoTexts, ListOf(kIPConfigItems), ItemOrder::DefaultFirst,
     ListOf(kVolatileDisplay8), Source::Row},
    {TOVIK_PARAM(eParamID_IPAddress), "IP Address", "IP Addr", Kind::String, 12, 2, 0, 0, 1, 0,
     kNoNumbers, Address("192.168.0.2"), kNoItems, ItemOrder::DefaultFirst,
     ListOf(kDisplayAddress), Source::Row},
    {TOVIK_PARAM(eParamID_SubnetMask), "Subnet Mask", "SbnetMsk", Kind::String, 12, 2, 0, 0, 1, 0,
     kNoNumbers, Address("255.255.255.0"), kNoItems, ItemOrder::DefaultFirst,
     ListOf(kDisplayAddress), Source::Row},
    {TOVIK_PARAM(eParamID_DefaultGateway), "Default Gateway", "DfltGtwy", Kind::String, 12, 1, 0, 0, 1, 0,
     kNoNumbers, Address("192.168.0.1"), kNoItems, ItemOrder::DefaultFirst,
     ListOf(kVolatileAddress), Source::Row},
    {TOVIK_PARAM(eParamID_DefaultGateway_Actual), "Default Gateway - Actual", "DfltGtwyAct", Kind::String,
     12, 1, 0, 1, 1, 0, kNoNumbers, Address("192.168.0.1"), kNoItems, ItemOrder::DefaultFirst,
     ListOf(kVolatileReadonlyAddress), Source::Row},
    {TOVIK_PARAM(eParamID_IPAddress_Actual), "IP Address", "IP Addr", Kind::String, 12, 5, 0, 1, 1, 0,
     kNoNumbers, Address(""), kNoItems, ItemOrder::DefaultFirst, ListOf(kReadonlyAddress),
     Source::Row},
    {TOVIK_PARAM(eParamID_SubnetMask_Actual), "Subnet Mask", "SbnetMsk", Kind::String, 12, 5, 0, 1, 1, 0,
     kNoNumbers, Address(""), kNoItems, ItemOrder::DefaultFirst, ListOf(kReadonlyAddress),
     Source::Row},
    {TOVIK_PARAM(eParamID_SystemName), "System Name", "Sys Name", Kind::String, 12, 3, 0, 0, 1, 2,
     kNoNumbers, Lengths(1, 63, 0, 62, nullptr), kNoItems, ItemOrder::DefaultFirst,
     ListOf(kDisplayAddress), Source::SystemName},
    {TOVIK_PARAM(eParamID_MACAddress), "MAC Address", "MAC Addr", Kind::String, 12, 2, 0, 1, 1, 2,
     kNoNumbers, Address(nullptr), kNoItems, ItemOrder::DefaultFirst, ListOf(kReadonlyAddress),
     Source::MacAddress},
    {TOVIK_PARAM(eParamID_IPAddress_Offered), "IP Address Offered", "IP Addr Offered", Kind::String, 12,
     5, 0, 1, 1, 0, kNoNumbers, Address(""), kNoItems, ItemOrder::DefaultFirst, ListOf(kDisplay1),
     Source::Row},
    // A trigger: any value may be written.
    {TOVIK_PARAM(eParamID_IPChangeCommit), "DHCP Commit", "DHCP Commit", Kind::Integer, 4, 5, 0, 1, 1, 0,
     Limits(0, kAnyValue, 0, 1), kNoTexts, kNoItems, ItemOrder::DefaultFirst,
     ListOf(kVolatileDisplay1), Source::Row},
    {TOVIK_PARAM(eParamID_DHCPState), "DHCP State", "DHCP State", Kind::String, 12, 5, 1, 1, 1, 0,
     kNoNumbers, Address("None"), kNoItems, ItemOrder::DefaultFirst, ListOf(kDisplay1), Source::Row},
    {TOVIK_PARAM(eParamID_SSDP_Enable_Host), "UPnP Host", "UPnP", Kind::Enum, 3, 1, 0, 0, 1, 2,
     Limits(0, 1, 1, 1), kNoTexts, ListOf(kEnableItems), ItemOrder::DefaultFirst,
     ListOf(kVolatileDisplay8), Source::Row},
    // The range covers both items.
    {TOVIK_PARAM(eParamID_NetworkConnected), "Network Connected", "NetAvail", Kind::Enum, 3, 5, 0, 1, 1, 0,
     Limits(0, 1, 0, 1), kNoTexts, ListOf(kYesNoItems), ItemOrder::DefaultFirst,
     ListOf(kVolatileDisplay1), Source::Row},
};

} // namespace

bool NetworkConfig::AddParamDescriptors(DescriptorTable* table)
{
    AddEveryRow(table, ListOf(kNetworkRows));
    return true;
}

} // namespace CommonConfig
