#include "descdumptool.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "descriptordump.h"
#include "paramlink/descriptortable.h"
#include "toolcli.h"
#include "tovikconfig/tovikconfig.h"

namespace descdump {

namespace {

std::string Usage(const std::string& program, const std::vector<ExtraOption>& extra)
{
    std::string usage = "Prints the parameter descriptor table of a model number in canonical text form.\n"
                        "\n"
                        "Usage: " +
                        program +
                        " [OPTION]... MODEL\n"
                        "\n"
                        "  MODEL          0 common parameters, 1 the box, 2 to 23 converter models\n"
                        "                 (module type + 1); decimal, or hexadecimal with 0x\n";
    for (const ExtraOption& e : extra)
        usage += e.help;
    return usage + "  -h, --help     print this text and exit\n"
                   "      --version  print the version and exit\n"
                   "\n"
                   "Exit status: 0 printed, 1 no complete table for the model (what was built\n"
                   "is printed), 2 bad arguments.\n";
}

bool ParseModel(const std::string& text, tovikconfig::ViveRode_t* model)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || end == text.c_str() || *end != '\0' || text[0] == '-' || text[0] == '+' ||
        value > 0xFFFFFFFFull)
        return false;
    *model = static_cast<tovikconfig::ViveRode_t>(value);
    return true;
}

} // namespace

int Main(const std::string& program, int argc, char** argv, const std::vector<ExtraOption>& extra)
{
    std::vector<option> options;
    for (const ExtraOption& e : extra)
        options.push_back(e.entry);
    std::vector<std::string> operands;
    const toolcli::Reading reading = toolcli::ReadCommandLine(
        argc, argv, options,
        [&extra](int key, const char* value, std::string*) {
            for (const ExtraOption& e : extra)
                if (e.entry.val == key)
                    e.apply(value);
            return true;
        },
        &operands);
    const int concluded = toolcli::Conclude(program, reading, Usage(program, extra));
    if (concluded >= 0)
        return concluded;
    if (operands.size() != 1)
        return toolcli::UsageError(program, operands.empty() ? "a model number is needed" : "one model number only");
    tovikconfig::ViveRode_t model = 0;
    if (!ParseModel(operands[0], &model))
        return toolcli::UsageError(program, "bad model number '" + operands[0] + "'");

    DescriptorTable table(0);
    const bool result = tovikconfig::TovikConfig::AddParamDescriptors(&table, model);
    std::cout << "model " << model << " result " << (result ? "true" : "false") << " count " << table.size()
              << '\n';
    DumpTable(std::cout, table);
    std::cout.flush();
    if (!result) {
        std::cerr << program << ": no complete descriptor table for model " << model << " (0 to "
                  << tovikconfig::kViveRodeCount - 1 << " are known)\n";
        return 1;
    }
    return 0;
}

} // namespace descdump
