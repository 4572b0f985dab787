#include "descriptordump.h"

#include <cstdio>
#include <map>

#include "paramlink/descriptortable.h"
#include "tovikconfig/descriptors.h"

namespace descdump {

namespace {

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08x", value);
    return text;
}

const char* ClassOf(ParamDescriptor* d)
{
    if (dynamic_cast<EnumDescriptor*>(d))
        return "enum";
    if (dynamic_cast<IntegerDescriptor*>(d))
        return "integer";
    if (dynamic_cast<StringDescriptor*>(d))
        return "string";
    return "param";
}

void DumpIDs(std::ostream& out, const char* label, const std::vector<eParam_t>& ids)
{
    if (ids.empty())
        return;
    out << "  " << label;
    for (eParam_t id : ids)
        out << ' ' << Hex(id);
    out << '\n';
}

void DumpInteger(std::ostream& out, IntegerDescriptor* d)
{
    out << "  integer min " << d->GetMinValue() << " max " << d->GetMaxValue() << " default "
        << d->GetFactoryDefault() << " adjust " << d->GetAdjustBy() << " scale " << d->GetScaleBy()
        << " offset " << d->GetOffsetBy() << " precision " << d->GetDisplayPrecision() << '\n';
    out << "  units " << Quote(d->GetUnits()) << ' ' << Quote(d->GetUnits2()) << '\n';
}

void DumpItems(std::ostream& out, EnumDescriptor* d)
{
    for (const EnumValueDescriptor& item : d->GetOrderedEnumValueDescriptors()) {
        out << "  item " << item.value << ' ' << Quote(item.name) << ' ' << Quote(item.shortName);
        if (!item.extra.empty())
            out << " extra " << Quote(item.extra);
        for (const auto& a : item.numericAttributes)
            out << " attr " << Quote(a.first) << ' ' << a.second;
        for (const auto& a : item.stringAttributes)
            out << " attr " << Quote(a.first) << ' ' << Quote(a.second);
        for (const auto& c : item.classNames)
            out << " classname " << Quote(c);
        out << '\n';
    }
}

void DumpString(std::ostream& out, StringDescriptor* d)
{
    out << "  string minlength " << d->GetMinLength() << " maxlength " << d->GetMaxLength()
        << " minindex " << d->GetMinIndex() << " maxindex " << d->GetMaxIndex() << '\n';
    out << "  default " << Quote(d->GetFactoryDefault()) << '\n';
}

} // namespace

std::string Quote(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
    return out;
}

void DumpDescriptor(std::ostream& out, ParamDescriptor* d)
{
    out << "descriptor " << Hex(d->GetParamID()) << ' ' << d->GetParamIDName() << '\n';
    out << "  class " << ClassOf(d) << '\n';
    out << "  type " << d->GetParamType() << '\n';
    out << "  flags feature " << d->GetFeatureType() << " access " << d->GetAccessType() << " persist "
        << d->GetPersistenceType() << " register " << d->GetRegisterType() << " reset "
        << d->GetFactoryResetType() << '\n';
    out << "  name " << Quote(d->GetName()) << '\n';
    out << "  short " << Quote(d->GetShortName()) << '\n';
    out << "  regex " << Quote(d->GetRegEx()) << '\n';
    if (auto* i = dynamic_cast<IntegerDescriptor*>(d))
        DumpInteger(out, i);
    if (auto* s = dynamic_cast<StringDescriptor*>(d))
        DumpString(out, s);
    if (auto* e = dynamic_cast<EnumDescriptor*>(d))
        DumpItems(out, e);
    DumpIDs(out, "dependents", d->GetDependentParamIDs());
    DumpIDs(out, "dependson", d->GetDependsOnParamIDs());
    for (const auto& relation : d->GetRelations())
        for (const auto& r : relation.second)
            out << "  relation " << Quote(relation.first) << ' ' << Hex(r.paramID) << ' ' << r.value << '\n';
    for (const std::string& name : d->GetClassNames())
        out << "  classname " << Quote(name) << '\n';
    std::map<std::string, unsigned int> numbers;
    d->GetAttributes(numbers);
    for (const auto& a : numbers)
        out << "  attr " << Quote(a.first) << ' ' << a.second << '\n';
    std::map<std::string, std::string> texts;
    d->GetAttributes(texts);
    for (const auto& a : texts)
        out << "  attr " << Quote(a.first) << ' ' << Quote(a.second) << '\n';
}

void DumpTable(std::ostream& out, const DescriptorTable& table)
{
    for (eParam_t id : table.GetParamIDs())
        DumpDescriptor(out, table.GetDescriptor(id));
}

} // namespace descdump
