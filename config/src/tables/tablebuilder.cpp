#include "tables/tablerow.h"

#include "paramlink/descriptortable.h"
#include "tables/platformseam.h"
#include "tovikconfig/commonconfig.h"
#include "tovikconfig/descriptors.h"

namespace tovikconfig {
namespace tables {

namespace {

std::string Text(const char* text, const RowContext& context)
{
    return context.n > 0 ? ExpandTemplate(text, context.n) : std::string(text);
}

unsigned int U(std::int64_t value)
{
    return static_cast<unsigned int>(value);
}

std::string DynamicText(Source source)
{
    switch (source) {
    case Source::MacAddress:
        return platform::MacAddressText();
    case Source::SystemName:
        return CommonConfig::GetDefaultSystemName();
    case Source::SerialNumber:
        return CommonConfig::GetSerialNumber();
    default:
        return std::string();
    }
}

// Integer values of both recipes. Each setter keeps a field of its own, so
// their order does not change what the descriptor holds.
void SetNumbers(IntegerDescriptor* d, const Row& row, const RowContext& context)
{
    const Numbers& v = row.numbers;
    if (v.min != kUnset)
        d->SetMinValue(U(v.min));
    if (row.source == Source::PresetCount)
        d->SetMaxValue(static_cast<unsigned int>(context.presetCount));
    else if (v.max != kUnset)
        d->SetMaxValue(U(v.max));
    if (v.def != kUnset)
        d->SetFactoryDefault(U(v.def));
    if (v.adjust != kUnset)
        d->SetAdjustBy(U(v.adjust));
    if (v.scale != kUnset)
        d->SetScaleBy(U(v.scale));
    if (v.offset != kUnset)
        d->SetOffsetBy(U(v.offset));
    if (v.precision != kUnset)
        d->SetDisplayPrecision(U(v.precision));
    if (v.units)
        d->SetUnits(v.units);
}

void SetTexts(StringDescriptor* d, const Row& row, const RowContext& context)
{
    const Texts& v = row.texts;
    if (v.minLength != kUnset)
        d->SetMinLength(U(v.minLength));
    if (v.maxLength != kUnset)
        d->SetMaxLength(U(v.maxLength));
    if (v.minIndex != kUnset)
        d->SetMinIndex(U(v.minIndex));
    if (v.maxIndex != kUnset)
        d->SetMaxIndex(U(v.maxIndex));
    if (row.source == Source::MacAddress || row.source == Source::SystemName
        || row.source == Source::SerialNumber)
        d->SetFactoryDefault(DynamicText(row.source));
    else if (v.def)
        d->SetFactoryDefault(Text(v.def, context));
}

void AddItems(EnumDescriptor* d, const Row& row)
{
    for (const Item& item : row.items)
        d->AddNameValuePair(item.value, item.name, item.shortName ? item.shortName : item.name,
                            nullptr, std::string());
}

void AddMarkers(ParamDescriptor* d, const Row& row, const RowContext& context)
{
    for (const Marker& marker : row.markers) {
        switch (marker.kind) {
        case MarkerKind::ClassName:
            d->AddClassName(marker.key);
            break;
        case MarkerKind::Number:
            d->AddAttribute(marker.key, marker.number);
            break;
        case MarkerKind::Text:
            d->AddAttribute(std::string(marker.key), Text(marker.text, context));
            break;
        }
    }
}

void FillConverterDescriptor(ParamDescriptor* d, const Row& row, const RowContext& context)
{
    if (row.kind == Kind::String) {
        if (row.texts.def)
            static_cast<StringDescriptor*>(d)->SetFactoryDefault(Text(row.texts.def, context));
    } else if (row.kind == Kind::Integer) {
        d->SetRegEx("*");
        SetNumbers(static_cast<IntegerDescriptor*>(d), row, context);
    }
    if (row.access != kUnset)
        d->SetAccessType(static_cast<eAccess_t>(row.access));
    if (row.feature != kUnset)
        d->SetFeatureType(static_cast<eFeature_t>(row.feature));
    if (row.kind == Kind::Enum) {
        auto* e = static_cast<EnumDescriptor*>(d);
        if (row.numbers.def != kUnset)
            e->SetFactoryDefault(U(row.numbers.def));
        AddItems(e, row);
    }
}

ParamDescriptor* NewOfKind(Kind kind)
{
    switch (kind) {
    case Kind::Integer:
        return new IntegerDescriptor();
    case Kind::Enum:
        return new EnumDescriptor();
    case Kind::String:
        return new StringDescriptor();
    }
    return nullptr;
}

} // namespace

std::string ExpandTemplate(const char* text, int n)
{
    const std::string number = std::to_string(n);
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (p[0] == '%' && p[1] == 'd') {
            out += number;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

ParamDescriptor* BuildDescriptor(const Row& row, const RowContext& context)
{
    ParamDescriptor* d = NewOfKind(row.kind);
    d->SetParamID(static_cast<eParam_t>(context.id ? context.id : row.id));
    d->SetParamIDName(Text(row.idName, context));
    d->SetName(Text(row.name, context));
    d->SetShortName(Text(row.shortName, context));
    d->SetParamType(static_cast<eParamType_t>(row.paramType));
    if (row.recipe == Recipe::Converter) {
        FillConverterDescriptor(d, row, context);
        AddMarkers(d, row, context);
        return d;
    }
    if (row.access != kUnset)
        d->SetAccessType(static_cast<eAccess_t>(row.access));
    if (row.feature != kUnset)
        d->SetFeatureType(static_cast<eFeature_t>(row.feature));
    d->SetPersistenceType(static_cast<ePersist_t>(row.persist));
    d->SetRegisterType(static_cast<eUserRegisterData_t>(row.registerType));
    d->SetFactoryResetType(static_cast<eFactoryReset_t>(row.reset));
    d->SetRegEx("*");

    if (row.kind == Kind::String) {
        SetTexts(static_cast<StringDescriptor*>(d), row, context);
    } else if (row.kind == Kind::Enum && row.itemOrder == ItemOrder::ItemsFirst) {
        auto* e = static_cast<EnumDescriptor*>(d);
        AddItems(e, row);
        SetNumbers(e, row, context);
    } else {
        SetNumbers(static_cast<IntegerDescriptor*>(d), row, context);
        if (row.kind == Kind::Enum)
            AddItems(static_cast<EnumDescriptor*>(d), row);
    }
    AddMarkers(d, row, context);
    return d;
}

bool AddRow(DescriptorTable* table, const Row& row, const RowContext& context)
{
    if (!table)
        return false;
    return table->AddDescriptor(BuildDescriptor(row, context));
}

void AddEveryRow(DescriptorTable* table, List<Row> rows, const RowContext& context)
{
    if (!table)
        return;
    for (const Row& row : rows)
        AddRow(table, row, context);
}

bool AddRowsUntilRefused(DescriptorTable* table, List<Row> rows, const RowContext& context)
{
    if (!table)
        return false;
    for (const Row& row : rows) {
        if (!AddRow(table, row, context))
            return false;
    }
    return true;
}

} // namespace tables
} // namespace tovikconfig
