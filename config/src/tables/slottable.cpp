#include "tovikconfig/tovikconfig.h"

#include "paramlink/descriptortable.h"
#include "tables/tablerow.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/enumdescriptor.h"
#include "tovikconfig/models/modellist.h"

namespace tovikconfig {

namespace {

using namespace tables;

// The model numbers a slot can show, in order: none, each model of the
// model list, and 23 for every other module type; the box itself (1) has
// no item.
#define TOVIKCONFIG_MODEL_ITEM(type, number, NAME, Display, ...) {number, Display, nullptr},
#define TOVIKCONFIG_NUMBERED_ITEM(type, number, NAME, Display) {number, Display, nullptr},
#define TOVIKCONFIG_NO_ITEM(...)
constexpr Item kDeviceTypeItems[] = {
    {0, "None", nullptr},
    TOVIK_MODEL_LIST(TOVIKCONFIG_MODEL_ITEM, TOVIKCONFIG_NUMBERED_ITEM, TOVIKCONFIG_NO_ITEM)
    {kViveRodeCount - 1, "Unknown", nullptr},
};
#undef TOVIKCONFIG_NO_ITEM
#undef TOVIKCONFIG_NUMBERED_ITEM
#undef TOVIKCONFIG_MODEL_ITEM

constexpr Marker kReadonly[] = {ClassName("readonly")};
constexpr Marker kSerialMarkers[] = {ClassName("readonly"), NumberAttr("DisplayType", 0x2002)};

// id, id name, name, short name, class, param type, feature, access, persist,
// register, reset, numbers, texts, items, item order, markers, source
constexpr Row kDeviceCountRow{TOVIK_PARAM(eParamID_DeviceCount), "Device Count", "DevCount",
                              Kind::Integer, 4, 2, kUnset, 1, 1, 0, Limits(0, 4, 0), kNoTexts, kNoItems,
                              ItemOrder::DefaultFirst, ListOf(kReadonly), Source::Row};
constexpr Row kSerialNumberRow{TOVIK_PARAM(eParamID_SerialNumber), "MAC Address", "MAC Addr",
                               Kind::String, 12, 2, kUnset, 1, 1, 2, kNoNumbers, kNoTexts, kNoItems,
                               ItemOrder::DefaultFirst, ListOf(kSerialMarkers), Source::SerialNumber};

// Slot families: the id is the base plus the slot number.
constexpr Row kSlotRows[] = {
    {kDeviceTypeBase, "eParamID_Device_%d_Type", "Device %d Type", "Dev%dType", Kind::Enum, 3, 2, kUnset,
     1, 1, 0, Numbers{kUnset, kUnset, 0, kUnset, kUnset, kUnset, kUnset, nullptr}, kNoTexts,
     ListOf(kDeviceTypeItems), ItemOrder::ItemsFirst, ListOf(kReadonly), Source::Row},
    {kDeviceSNBase, "eParamID_Device_%d_SN", "Device %d SN", "Dev%dSN", Kind::String, 12, 2, kUnset, 1, 1,
     0, kNoNumbers, Default(""), kNoItems, ItemOrder::DefaultFirst, ListOf(kReadonly), Source::Row},
    {kDeviceNameBase, "eParamID_Device_%d_Name", "Device %d Name", "Dev%dName", Kind::String, 12, 2,
     kUnset, 1, 1, 0, kNoNumbers, Default(""), kNoItems, ItemOrder::DefaultFirst, ListOf(kReadonly),
     Source::Row},
};

RowContext SlotContext(const Row& row, int slot)
{
    RowContext context;
    context.n = slot;
    context.id = row.id + static_cast<std::uint32_t>(slot);
    return context;
}

bool AddCxnStatus(DescriptorTable* table, int slot)
{
    EnumDescriptor* d = new EnumDescriptor();
    d->SetParamID(DeviceCxnStatusParamID(slot));
    d->SetParamIDName(ExpandTemplate("eParamID_Device_%d_CxnStatus", slot));
    d->SetName(ExpandTemplate("Device %d Connection Status", slot));
    d->SetShortName(ExpandTemplate("Dev%dCxn", slot));
    if (!TovikConfig::CompleteCxnStatusDescriptor(d)) {
        delete d;
        return false;
    }
    return table->AddDescriptor(d);
}

} // namespace

bool TovikConfig::AddTovikParamDescriptors(DescriptorTable* table)
{
    if (!table)
        return false;
    if (!AddRow(table, kDeviceCountRow))
        return false;
    AddRow(table, kSerialNumberRow); // a refused serial number does not stop the slots
    for (const Row& row : kSlotRows)
        for (int slot = 1; slot <= kDeviceSlotCount; ++slot)
            if (!AddRow(table, row, SlotContext(row, slot)))
                return false;
    for (int slot = 1; slot <= kDeviceSlotCount; ++slot)
        if (!AddCxnStatus(table, slot))
            return false;
    return true;
}

} // namespace tovikconfig
