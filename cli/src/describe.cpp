// The describe and dump commands and the metadata block they print.
#include <map>

#include "argumentscanner.h"
#include "knobctl.h"
#include "tovikconfig/descriptors.h"

namespace {

const char* PersistenceText(ePersist_t type)
{
    switch (type) {
    case 0: return "persists";
    case 1: return "ephemeral";
    case 2: return "piggyback style";
    default: return "invalid";
    }
}

const char* PresetsText(eUserRegisterData_t type)
{
    switch (type) {
    case 0: return "included";
    case 1: return "excluded";
    default: return "invalid";
    }
}

const char* FactoryResetText(eFactoryReset_t type)
{
    switch (type) {
    case 0: return "excluded";
    case 1: return "warm fuzzy";
    case 2: return "cold hard only";
    default: return "invalid";
    }
}

} // namespace

std::list<eParam_t> Knobctl::IdsOf(std::string& argument)
{
    if (argument == "*")
        return _config->GetParamIDList();
    std::list<eParam_t> ids;
    if (ParamDescriptor* descriptor = FindParamByName(argument))
        ids.push_back(descriptor->GetParamID());
    return ids;
}

int Knobctl::Describe(const std::string& line)
{
    std::string argument;
    if (!ScanArgumentWord(line, "describe", argument))
        return MissingArgument("describe");
    for (eParam_t id : IdsOf(argument)) {
        ParamDescriptor* descriptor = _config->GetParamDescriptor(id);
        if (!descriptor)
            return 0;
        DescribeParam(descriptor);
    }
    return 1;
}

int Knobctl::Dump(const std::string& line)
{
    // The keyword alone (perhaps with the line end a command file keeps,
    // or blanks after it): every parameter.
    std::string argument = "*";
    if (line.size() != 4 && line.size() != 5) {
        ArgumentScanner scanner(line);
        if (!scanner.Literal("dump"))
            return MissingArgument("dump");
        scanner.Word(argument);
    }
    for (eParam_t id : IdsOf(argument)) {
        ParamDescriptor* descriptor = _config->GetParamDescriptor(id);
        if (!descriptor)
            return 0;
        if (dynamic_cast<IntegerDescriptor*>(descriptor) || dynamic_cast<StringDescriptor*>(descriptor))
            ValueLine(descriptor);
        else
            std::fprintf(_out, "Unknown descriptor: %s\n", descriptor->GetParamIDName().c_str());
    }
    return 1;
}

void Knobctl::DescribeParam(ParamDescriptor* descriptor)
{
    std::fprintf(_out, "param: %s (%s)\n", descriptor->GetName().c_str(), descriptor->GetParamIDName().c_str());
    if (dynamic_cast<IntegerDescriptor*>(descriptor))
        DescribeInteger(descriptor);
    if (dynamic_cast<EnumDescriptor*>(descriptor))
        DescribeEnum(descriptor);
    if (DataDescriptor* data = dynamic_cast<DataDescriptor*>(descriptor))
        std::fprintf(_out, "default: %d bytes\n", int(data->GetFactoryDefault().size()));
    else if (StringDescriptor* string = dynamic_cast<StringDescriptor*>(descriptor))
        std::fprintf(_out, "default: \"%s\"\n", string->GetFactoryDefault().c_str());
    if (dynamic_cast<DecimalDescriptor*>(descriptor))
        DescribeDecimal(descriptor);
    std::fprintf(_out, "persistence: %s\n", PersistenceText(descriptor->GetPersistenceType()));
    std::fprintf(_out, "presets: %s\n", PresetsText(descriptor->GetRegisterType()));
    std::fprintf(_out, "factory reset: %s\n", FactoryResetText(descriptor->GetFactoryResetType()));
    for (const std::string& name : descriptor->GetClassNames())
        std::fprintf(_out, "classname: %s\n", name.c_str());
    for (eParam_t id : descriptor->GetDependentParamIDs())
        RelatedIdLine("dependent: ", id);
    for (eParam_t id : descriptor->GetDependsOnParamIDs())
        RelatedIdLine("depends on: ", id);
    std::map<std::string, unsigned int> numeric;
    descriptor->GetAttributes(numeric);
    for (const auto& attribute : numeric)
        std::fprintf(_out, "attribute: %s == %d\n", attribute.first.c_str(), int(attribute.second));
    std::map<std::string, std::string> strings;
    descriptor->GetAttributes(strings);
    for (const auto& attribute : strings)
        std::fprintf(_out, "attribute: %s == '%s'\n", attribute.first.c_str(), attribute.second.c_str());
}

void Knobctl::DescribeInteger(ParamDescriptor* descriptor)
{
    IntegerDescriptor* integer = static_cast<IntegerDescriptor*>(descriptor);
    const struct {
        const char* label;
        unsigned int value;
    } lines[] = {
        {"min: ", integer->GetMinValue()},
        {"max: ", integer->GetMaxValue()},
        {"default: ", integer->GetFactoryDefault()},
        {"adjust: ", integer->GetAdjustBy()},
        {"scale: ", integer->GetScaleBy()},
        {"offset: ", integer->GetOffsetBy()},
        {"precision: ", integer->GetDisplayPrecision()},
    };
    for (const auto& line : lines)
        std::fprintf(_out, "%s%s\n", line.label, FormatInteger(int(line.value)).c_str());
    std::fprintf(_out, "units: %s\n", integer->GetUnits().c_str());
}

void Knobctl::DescribeEnum(ParamDescriptor* descriptor)
{
    const std::map<unsigned int, EnumValueDescriptor> items =
        static_cast<EnumDescriptor*>(descriptor)->GetEnumValueDescriptors();
    std::fprintf(_out, "enum count: %d\n", int(items.size()));
    for (const auto& item : items)
        std::fprintf(_out, "enum: %s (%d)\n", item.second.name.c_str(), int(item.second.value));
}

void Knobctl::DescribeDecimal(ParamDescriptor* descriptor)
{
    const unsigned int precision = static_cast<DecimalDescriptor*>(descriptor)->GetDecimalPrecision();
    std::fprintf(_out, "precision: %s\n", FormatInteger(int(precision)).c_str());
}

void Knobctl::RelatedIdLine(const char* label, eParam_t id)
{
    if (ParamDescriptor* related = _config->GetParamDescriptor(id))
        std::fprintf(_out, "%s%s\n", label, related->GetParamIDName().c_str());
    else
        std::fprintf(_out, "%s0x%X\n", label, unsigned(id));
}
