#include "commandline.h"

#include <cstdint>

#include "argumentscanner.h"

namespace {

bool Holds(const std::string& arg, const char* option) { return arg.find(option) != std::string::npos; }

const char kUsage[] =
    "Usage: knobctl [OPTION] [ARGUMENT]\n"
    "\n"
    "Operation:\n"
    "  -get      <param_id_name>         Display one param value\n"
    "  -set      <param_id_name>         Change one param value\n"
    "  -dump     <param_id_name> or <*>  Display meta-data and current value about one\n"
    "                                    or all params\n"
    "  -describe <param_id_name> or <*>  Display meta-data about one or all params\n"
    "\n"
    "Configuration:\n"
    "  --mapped                          Use mapping config (only available on Culmen)\n"
    "  --config  <config_id>             Connect to subconfig of attached Podunit";

} // namespace

const char* UsageText() { return kUsage; }

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    using Action = CommandLine::Action;
    CommandLine result;
    const size_t argc = args.size();
    const std::string first = argc > 1 ? args[1] : std::string();

    if (argc == 2 && (Holds(first, "-?") || Holds(first, "-h"))) {
        result.action = Action::Usage;
        return result;
    }
    if (argc == 3 && Holds(first, "--config")) {
        // Text that is no number reads as 0, like strtol; any number outside
        // 0..4 is refused, however wide a long is.
        std::int64_t id = 0;
        size_t used = 0;
        const bool overflow = !ReadNumber(args[2].c_str(), 10, id, &used) && used > 0;
        if (overflow || id < 0 || id > kMaxDeviceConfigID) {
            result.action = Action::BadConfigID;
            return result;
        }
        result.configID = int(id);
    }
    if (argc == 2 && Holds(first, "--mapped")) {
        result.action = Action::Mapped;
        return result;
    }
    if (argc > 1) {
        if (Holds(first, "-get")) {
            result.action = argc == 3 ? Action::Get : Action::WrongArgCount;
            if (argc == 3)
                result.name = args[2];
            return result;
        }
        if (Holds(first, "-set")) {
            result.action = argc == 4 ? Action::Set : Action::WrongArgCount;
            if (argc == 4) {
                result.name = args[2];
                result.value = args[3];
            }
            return result;
        }
        const bool dump = Holds(first, "-dump");
        if (dump || Holds(first, "-describe")) {
            result.action = dump ? Action::Dump : Action::Describe;
            result.name = argc == 3 ? args[2] : "*";
            return result;
        }
    }
    result.action = Action::Interactive;
    return result;
}

CommandLine ParseCommandLine(int argc, char** argv)
{
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i] ? argv[i] : "");
    return ParseCommandLine(args);
}
