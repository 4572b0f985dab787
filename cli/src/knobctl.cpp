#include "knobctl.h"

#include <cstdlib>
#include <cstring>

#include "argumentscanner.h"
#include "commandfiles.h"
#include "paramlink/ctimeval.h"
#include "texthelpers.h"
#include "tovikconfig/descriptors.h"

Config* ActiveConfig = nullptr;
std::vector<std::string> ParamNameList;

namespace {

const char kIdPrefix[] = "eParamID_";
const size_t kIdPrefixLength = sizeof kIdPrefix - 1;

} // namespace

const CommandTableRow Knobctl::CommandTable[] = {
    // name, keywords, place in the search, command, help text
    {"set", {"set "}, 1, &Knobctl::Set, "<param_id_name> - Change a param value"},
    {"get", {"get "}, 2, &Knobctl::Get, "<param_id_name> - Display a param value"},
    {"describe", {"describe"}, 13, &Knobctl::Describe, "<param_id_name> - Display meta-data about a param"},
    {"dump", {"dump"}, 14, &Knobctl::Dump,
     "<param_id_name> - Display meta-data about a param and its current value"},
    {"watch", {"watch "}, 6, &Knobctl::Watch, "<param_id_name> - Watch for changes to a param"},
    {"unwatch", {"unwatch "}, 5, &Knobctl::Unwatch, "<param_id_name> - Stop watching a param"},
    {"iswatched", {"iswatched "}, 7, &Knobctl::IsWatched, "<param_id_name> - Determine if a param is being watched"},
    {"watches", {"watches"}, 8, &Knobctl::ListWatches, "Display a list of watched params"},
    {"params", {"params"}, 9, &Knobctl::ListParams, "Display a list of params"},
    {"source", {"source"}, 10, &Knobctl::Source, "<filename> - Run commands from a file"},
    {"hex", {"hex"}, 11, &Knobctl::Hex, "Input and display integer values in hexidecimal format"},
    {"decimal", {"decimal"}, 12, &Knobctl::Decimal, "Input and display integer values in decimal format"},
    {"timing", {"timing"}, 15, &Knobctl::Timing, "Run a timing test"},
    {"factory", {"factory"}, 16, &Knobctl::Factory, "Set param value to factory default"},
    {"clips", {"clips"}, 18, &Knobctl::Clips, "Run CLIPS"},
    {"help", {"usage", "help", "?"}, 17, &Knobctl::Help, "Display this text"},
    {"setdata", {"setdata "}, 3, &Knobctl::SetData, nullptr},
    {"getdata", {"getdata "}, 4, &Knobctl::GetData, nullptr},
    {"exit", {"exit"}, 19, &Knobctl::Exit, nullptr},
    {nullptr, {}, 0, nullptr, nullptr},
};

const CommandTableRow* FindCommand(const std::string& word)
{
    for (const CommandTableRow* row = Knobctl::CommandTable; row->help; ++row)
        if (word == row->name)
            return row;
    return nullptr;
}

const CommandTableRow* PickCommand(const std::string& line)
{
    const CommandTableRow* picked = nullptr;
    for (const CommandTableRow* row = Knobctl::CommandTable; row->name; ++row)
        for (const char* keyword : row->keywords)
            if (keyword && (!picked || row->place < picked->place) && line.find(keyword) != std::string::npos)
                picked = row;
    return picked;
}

Knobctl::Knobctl(int, char**, Config* config, Config* eventsConfig, FILE* out, FILE* err)
    : _config(config),
      _eventsConfig(eventsConfig),
      _mapped(config && dynamic_cast<MappingConfig*>(config)),
      _outputFormat(kDecimalFormat),
      _inputFormat(kDecimalFormat),
      _out(out),
      _err(err)
{
    _exitHandler = [this](int status) {
        if (_eventsConfig)
            _eventsConfig->RemoveEventListener(this);
        std::fflush(_out);
        std::fflush(_err);
        std::exit(status);
    };
    ExecuteCommand("decimal");
    if (_eventsConfig)
        _eventsConfig->AddEventListener(this);
    ParamNameList.clear();
    if (!_config)
        return;
    const std::list<eParam_t> ids = _config->GetParamIDList();
    for (eParam_t id : ids) {
        ParamDescriptor* descriptor = _config->GetParamDescriptor(id);
        if (!descriptor)
            continue;
        const std::string name = descriptor->GetParamIDName();
        ParamNameList.push_back(name.compare(0, kIdPrefixLength, kIdPrefix) == 0 ? name.substr(kIdPrefixLength)
                                                                                 : name);
    }
}

Knobctl::~Knobctl()
{
    // No event may reach this object once it is gone.
    if (_eventsConfig)
        _eventsConfig->RemoveEventListener(this);
}

int Knobctl::ExecuteCommand(const char* line)
{
    if (!line) {
        std::fprintf(_err, "command == NULL\n");
        return 0;
    }
    const std::string text(line);
    if (const CommandTableRow* command = PickCommand(text))
        return (this->*command->run)(text);
    if (text.empty())
        return 1;
    std::fprintf(_out, "Unknown command %s\n", line);
    return 0;
}

std::string Knobctl::FormatInteger(int value) const
{
    char text[16];
    if (_outputFormat.load() == kHexOutputFormat)
        std::snprintf(text, sizeof text, "0x%X", unsigned(value));
    else
        std::snprintf(text, sizeof text, "%d", value);
    return text;
}

std::string Knobctl::EnumValueName(ParamDescriptor* descriptor, int value)
{
    EnumDescriptor* e = dynamic_cast<EnumDescriptor*>(descriptor);
    if (!e)
        return std::string();
    return "(" + e->GetEnumValueDescriptor(unsigned(value)).name + ")";
}

void Knobctl::ValueLine(ParamDescriptor* descriptor)
{
    const eParam_t id = descriptor->GetParamID();
    const std::string idName = descriptor->GetParamIDName();
    if (dynamic_cast<IntegerDescriptor*>(descriptor)) {
        const int value = _config->GetIntegerValue(id);
        std::fprintf(_out, "%s == %s %s\n", idName.c_str(), FormatInteger(value).c_str(),
                     EnumValueName(descriptor, value).c_str());
    } else if (dynamic_cast<DataDescriptor*>(descriptor)) {
        // Bytes are not shown.
    } else if (dynamic_cast<StringDescriptor*>(descriptor)) {
        std::string value;
        _config->GetStringValue(id, value);
        std::fprintf(_out, "%s == \"%s\"\n", idName.c_str(), value.c_str());
    }
}

ParamDescriptor* Knobctl::FindParamByName(std::string& name)
{
    if (name.find(kIdPrefix) == std::string::npos)
        name = kIdPrefix + name;
    ParamDescriptor* descriptor = _config->GetParamDescriptor(name);
    if (!descriptor)
        std::fprintf(_out, "Invalid paramID %s\n", name.c_str());
    return descriptor;
}

int Knobctl::MissingArgument(const char* command)
{
    std::fprintf(_err, "%s: missing argument\n", command);
    return 0;
}

ParamDescriptor* Knobctl::SecondWordParam(const std::vector<std::string>& words, const char* command,
                                          std::string& name)
{
    if (words.size() < 2) {
        MissingArgument(command);
        return nullptr;
    }
    name = words[1];
    return FindParamByName(name);
}

int Knobctl::AssignInteger(ParamDescriptor* descriptor, int value)
{
    const eParam_t id = descriptor->GetParamID();
    if (!_config->SetIntegerValue(id, value)) {
        std::fprintf(_out, "set failed\n");
        return 0;
    }
    // The value set stands when the store does not answer the read.
    _config->GetIntegerValue(id, value);
    std::fprintf(_out, "%s = %s\n", descriptor->GetParamIDName().c_str(), FormatInteger(value).c_str());
    return 1;
}

int Knobctl::AssignString(ParamDescriptor* descriptor, std::string value)
{
    const eParam_t id = descriptor->GetParamID();
    if (!_config->SetStringValue(id, value)) {
        std::fprintf(_out, "set failed\n");
        return 0;
    }
    _config->GetStringValue(id, value);
    std::fprintf(_out, "%s = \"%s\"\n", descriptor->GetParamIDName().c_str(), value.c_str());
    return 1;
}

int Knobctl::Set(const std::string& line)
{
    const std::vector<std::string> words = TokenizeCommandLine(line);
    if (words.empty() || words[0] != "set")
        return 0;
    std::string name;
    ParamDescriptor* descriptor = SecondWordParam(words, "set", name);
    if (!descriptor)
        return 0;
    const bool isInteger = dynamic_cast<IntegerDescriptor*>(descriptor) != nullptr;
    const bool isData = dynamic_cast<DataDescriptor*>(descriptor) != nullptr;
    const bool isString = dynamic_cast<StringDescriptor*>(descriptor) != nullptr;
    if (!isInteger && !isData && !isString) {
        std::fprintf(_out, "Unknown Descriptor: %s\n", name.c_str());
        return 1;
    }
    if (isData)
        return 1;
    if (words.size() < 3) {
        std::fprintf(_err, "set: missing value for %s\n", name.c_str());
        return 0;
    }
    if (!isInteger)
        return AssignString(descriptor, words[2]);
    std::int32_t value = 0;
    ArgumentScanner scanner(words[2]);
    if (!scanner.Integer(_inputFormat.load(), value)) {
        std::fprintf(_err, "set: invalid value %s\n", words[2].c_str());
        return 0;
    }
    return AssignInteger(descriptor, value);
}

int Knobctl::Get(const std::string& line)
{
    std::string name;
    if (!ScanArgumentWord(line, "get", name))
        return MissingArgument("get");
    ParamDescriptor* descriptor = FindParamByName(name);
    if (!descriptor)
        return 0;
    ValueLine(descriptor);
    return 1;
}

int Knobctl::SetData(const std::string& line)
{
    const std::vector<std::string> words = TokenizeCommandLine(line);
    if (words.empty() || words[0] != "setdata")
        return 0;
    std::string name;
    ParamDescriptor* descriptor = SecondWordParam(words, "setdata", name);
    if (!descriptor)
        return 0;
    if (!dynamic_cast<DataDescriptor*>(descriptor)) {
        std::fprintf(_out, "The descriptor for %s is not a DataDescriptor\n", name.c_str());
        return 1;
    }
    if (words.size() < 3)
        return MissingArgument("setdata");
    std::string bytes;
    if (!read_file(words[2].c_str(), bytes)) {
        std::fprintf(_out, "unable to read data file %s\n", words[2].c_str());
        return 1;
    }
    if (!_config->SetDataValue(descriptor->GetParamID(), bytes)) {
        std::fprintf(_out, "setdata failed\n");
        return 0;
    }
    std::fprintf(_out, "%d bytes saved to %s\n", int(bytes.size()), name.c_str());
    return 1;
}

int Knobctl::GetData(const std::string& line)
{
    const std::vector<std::string> words = TokenizeCommandLine(line);
    std::string name;
    ParamDescriptor* descriptor = SecondWordParam(words, "getdata", name);
    if (!descriptor)
        return 0;
    if (!dynamic_cast<DataDescriptor*>(descriptor))
        return 1;
    std::string bytes;
    if (!_config->GetDataValue(descriptor->GetParamID(), bytes)) {
        std::fprintf(_out, "getdata GetData failed\n");
        return 0;
    }
    if (words.size() < 3)
        return MissingArgument("getdata");
    const char* path = words[2].c_str();
    FILE* file = std::fopen(path, "w");
    if (!file) {
        std::fprintf(_out, "unable to write to %s\n", path);
        return 0;
    }
    if (bytes.empty()) {
        std::fprintf(_out, "0 bytes written to %s\n", path);
    } else {
        const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
        if (written == 0)
            std::fprintf(_out, "unable to write %d bytes to %s\n", int(bytes.size()), path);
        else
            std::fprintf(_out, "%d bytes written to %s\n", int(written), path);
    }
    std::fclose(file);
    return 1;
}

int Knobctl::ListParams(const std::string&)
{
    const std::list<eParam_t> ids = _config->GetParamIDList();
    for (eParam_t id : ids) {
        ParamDescriptor* descriptor = _config->GetParamDescriptor(id);
        if (descriptor)
            std::fprintf(_out, "%s - %s\n", descriptor->GetParamIDName().c_str(), descriptor->GetName().c_str());
    }
    return 1;
}

int Knobctl::Source(const std::string& line)
{
    std::string path;
    if (!ScanArgumentWord(line, "source", path))
        return MissingArgument("source");
    SourceFile(*this, path.c_str());
    return 1;
}

int Knobctl::Hex(const std::string&)
{
    _outputFormat = kHexOutputFormat;
    _inputFormat = kHexInputFormat;
    return 1;
}

int Knobctl::Decimal(const std::string&)
{
    _outputFormat = kDecimalFormat;
    _inputFormat = kDecimalFormat;
    return 1;
}

int Knobctl::Timing(const std::string& line)
{
    ArgumentScanner scanner(line);
    std::string name;
    std::int32_t start = 0;
    if (!scanner.Literal("timing") || !scanner.Word(name) || !scanner.Integer(kDecimalFormat, start)) {
        std::fprintf(_err, "Incorrect number of arguments\n");
        return 0;
    }
    ParamDescriptor* descriptor = _config->GetParamDescriptor(name);
    if (!descriptor) {
        std::fprintf(_err, "Invalid paramid %s\n", name.c_str());
        return 1;
    }
    const eParam_t id = descriptor->GetParamID();
    const int kRequests = 1000;
    CTimeVal timer;
    timer.start();
    for (int i = 0; i < kRequests; ++i)
        _config->GetIntegerValue(id);
    timer.stop();
    long elapsed = timer.get_elapsed_ms();
    std::fprintf(_err, "Elapsed ms = %ld, per request %ld\n", elapsed, elapsed / kRequests);

    // The store sees start + 1, start, start + 1, ...
    std::uint32_t value = std::uint32_t(start);
    timer.start();
    for (int i = 0; i < kRequests; ++i) {
        value = i % 2 == 0 ? value + 1 : value - 1;
        _config->SetIntegerValue(id, std::int32_t(value));
    }
    timer.stop();
    elapsed = timer.get_elapsed_ms();
    std::fprintf(_err, "Elapsed ms = %ld, per request %ld\n", elapsed, elapsed / kRequests);
    return 1;
}

int Knobctl::Factory(const std::string& line)
{
    std::string name;
    if (!ScanArgumentWord(line, "factory", name))
        return MissingArgument("factory");
    ParamDescriptor* descriptor = FindParamByName(name);
    if (!descriptor)
        return 0;
    const eParam_t id = descriptor->GetParamID();
    if (IntegerDescriptor* integer = dynamic_cast<IntegerDescriptor*>(descriptor))
        return AssignInteger(descriptor, int(integer->GetFactoryDefault()));
    if (DataDescriptor* data = dynamic_cast<DataDescriptor*>(descriptor)) {
        std::string bytes = data->GetFactoryDefault();
        if (!_config->SetDataValue(id, bytes)) {
            std::fprintf(_out, "set failed\n");
            return 0;
        }
        _config->GetDataValue(id, bytes);
        std::fprintf(_out, "%s = \"%d bytes\"\n", name.c_str(), int(bytes.size()));
        return 1;
    }
    if (StringDescriptor* string = dynamic_cast<StringDescriptor*>(descriptor))
        return AssignString(descriptor, string->GetFactoryDefault());
    return 1;
}

int Knobctl::Help(const std::string& line)
{
    const size_t blank = line.find(' ');
    const bool hasArgument = blank != std::string::npos;
    const std::string argument = hasArgument ? line.substr(blank + 1) : std::string();
    bool printed = false;
    for (const CommandTableRow* row = CommandTable; row->help; ++row) {
        if (!hasArgument || argument.empty() || argument == row->name) {
            std::fprintf(_out, "%s\t%s%s.\n", row->name, std::strlen(row->name) <= 7 ? "\t" : "", row->help);
            printed = true;
        }
    }
    if (printed)
        return 1;
    std::string text = "No commands match `" + argument + "'.  Possibilties are:\n";
    int count = 0;
    for (const CommandTableRow* row = CommandTable; row->help; ++row) {
        if (count > 0 && count % 6 == 0)
            text += "\n";
        text += row->name;
        text += "\t";
        ++count;
    }
    text += "\n";
    std::fputs(text.c_str(), _out);
    return 1;
}

int Knobctl::Clips(const std::string&)
{
    std::fprintf(_out, "clips command disabled\n\n");
    return 1;
}

int Knobctl::Exit(const std::string&)
{
    _exitHandler(0);
    return 1;
}
