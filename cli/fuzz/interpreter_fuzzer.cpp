// Command lines through the interpreter against an in-process config of the
// box's table plus a data and a decimal parameter, and through completion's
// choice of list. Lines that would read or write files (source, getdata,
// setdata) are left out; exit only counts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "completion.h"
#include "knobctl.h"
#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "texthelpers.h"
#include "tovikconfig/descriptors.h"
#include "tovikconfig/tovikconfig.h"

namespace {

const eConfigID_t kConfig = 30;

Knobctl* MakeInterpreter()
{
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(kConfig);
    table->clear();
    tovikconfig::TovikConfig::AddParamDescriptors(table, 1);
    auto* data = new DataDescriptor;
    data->SetParamID(eParam_t(0x0A000001));
    data->SetParamIDName("eParamID_FuzzData");
    data->SetParamType(eCParam_StringValue);
    table->AddDescriptor(data);
    auto* decimal = new DecimalDescriptor;
    decimal->SetParamID(eParam_t(0x0A000002));
    decimal->SetParamIDName("eParamID_FuzzDecimal");
    decimal->SetDecimalPrecision(3);
    table->AddDescriptor(decimal);

    Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig("local://configid=30", "");
    FILE* sink = std::fopen("/dev/null", "w");
    ActiveConfig = config;
    auto* knobctl = new Knobctl(0, nullptr, config, config, sink, sink);
    knobctl->SetExitHandler([](int) {});
    return knobctl;
}

bool Touches(const std::string& line, const char* keyword) { return line.find(keyword) != std::string::npos; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static Knobctl* knobctl = MakeInterpreter();
    const std::string text(reinterpret_cast<const char*>(data), size);
    // "timing" makes 2,000 store requests, "dump" and "describe" can walk
    // the whole table: one of each per input keeps inputs fast.
    bool timed = false, dumped = false, described = false;
    auto once = [](bool& done) {
        const bool first = !done;
        done = true;
        return first;
    };
    for (const std::string& piece : SplitString(text, '\n')) {
        const std::string line = piece.substr(0, piece.find('\0'));
        if (Touches(line, "source") || Touches(line, "getdata") || Touches(line, "setdata"))
            continue;
        if ((Touches(line, "timing") && !once(timed)) || (Touches(line, "dump") && !once(dumped)) ||
            (Touches(line, "describe") && !once(described)))
            continue;
        knobctl->ExecuteCommand(line.c_str());
        const size_t blank = line.rfind(' ');
        const int start = blank == std::string::npos ? 0 : int(blank + 1);
        if (ChooseCompletion(line, start, int(line.size())) == CompletionList::EnumValues)
            EnumCompletionEntries(ActiveConfig, line);
    }
    // The next input starts from the same interpreter state; dropping the
    // watches here also frees what this input allocated, which spares
    // libFuzzer a leak search after every input.
    knobctl->ExecuteCommand("unwatch *");
    knobctl->ExecuteCommand("decimal");
    return 0;
}
