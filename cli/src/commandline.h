// knobctl's program arguments: what to do, read without touching the store.
#ifndef KNOBCTL_COMMANDLINE_H
#define KNOBCTL_COMMANDLINE_H

#include <string>
#include <vector>

// The highest config id: the number of device slots.
constexpr int kMaxDeviceConfigID = 4;

// Exit statuses of main.
constexpr int kExitBadConfig = -22;
constexpr int kExitFailure = -1;

struct CommandLine {
    enum class Action {
        Usage,          // print the usage text, status 0
        BadConfigID,    // the config id is out of range, status -22
        Mapped,         // after connecting: no mapper, status -1
        Get,            // one-shot get of name
        Set,            // one-shot set of name to value
        Dump,           // one-shot "dump <name>"
        Describe,       // one-shot "describe <name>"
        WrongArgCount,  // a one-shot with the wrong number of arguments: exit(-1)
        Interactive     // the shell
    };

    Action action = Action::Interactive;
    int configID = 0;
    std::string name;
    std::string value;
};

// Options are found by substring search in the first argument, so "-h"
// matches any first argument that contains it; "--config" counts only with
// exactly one value after it.
CommandLine ParseCommandLine(const std::vector<std::string>& args);
CommandLine ParseCommandLine(int argc, char** argv);

// The usage text, without its final newline.
const char* UsageText();

#endif
