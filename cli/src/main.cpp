// knobctl: gets, sets, describes, dumps and watches the parameters of the
// box (config 0) or of the converter in a device slot (configs 1..4), from a
// one-shot command line or an interactive shell.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commandfiles.h"
#include "commandline.h"
#include "connection.h"
#include "knobctl.h"
#include "oneshot.h"
#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "shell.h"

namespace {

// The interpreter's part of the run: start-up file, then the one-shot or
// the shell. Returns the process status.
int Run(const CommandLine& commandLine, int argc, char** argv, Config* config, Config* eventsConfig,
        const std::string& modelName)
{
    using Action = CommandLine::Action;
    ActiveConfig = config;
    Knobctl knobctl(argc, argv, config, eventsConfig);
    // The exit command ends the run at once: no event may arrive while the
    // process winds down.
    knobctl.SetExitHandler([config](int status) {
        std::fflush(stdout);
        std::fflush(stderr);
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);
        std::exit(status);
    });
    RunStartupFile(argc, argv, knobctl);

    switch (commandLine.action) {
    case Action::WrongArgCount:
        return kExitFailure;
    case Action::Get:
        return OneShotGet(knobctl, commandLine.name);
    case Action::Set:
        return OneShotSet(knobctl, commandLine.name, commandLine.value);
    case Action::Dump:
    case Action::Describe: {
        const std::string line = (commandLine.action == Action::Dump ? "dump " : "describe ") + commandLine.name;
        return knobctl.ExecuteCommand(line.c_str()) ? 0 : kExitFailure;
    }
    default:
        RunInteractive(knobctl, commandLine.configID, modelName.c_str());
        return 0;
    }
}

} // namespace

int main(int argc, char** argv)
{
    using Action = CommandLine::Action;
    const CommandLine commandLine = ParseCommandLine(argc, argv);
    if (commandLine.action == Action::Usage) {
        std::puts(UsageText());
        return 0;
    }
    if (commandLine.action == Action::BadConfigID) {
        std::fprintf(stderr, "Invalid config_id.  Range is 0 (main config) or 1..%d\n", kMaxDeviceConfigID);
        return kExitBadConfig;
    }

    std::string modelName;
    DescriptorTable* table = nullptr;
    Config* config = nullptr;
    Config* eventsConfig = nullptr;
    const bool requested = ConnectConfig(commandLine.configID, modelName, table, config, eventsConfig);
    if (requested && commandLine.action == Action::Mapped) {
        std::fprintf(stderr, "main: --mapped requested, no mapper available\n");
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);
        return kExitFailure;
    }
    if (!requested || !config || !eventsConfig) {
        std::fprintf(stderr, "Unable to connect to config # %d\n", commandLine.configID);
        return kExitBadConfig;
    }

    const int status = Run(commandLine, argc, argv, config, eventsConfig, modelName);
    std::fflush(stdout);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);
    return status;
}
