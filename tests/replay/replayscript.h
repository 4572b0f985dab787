// A replay script: simulated converters, the daemon, what clients do and
// which store values to show. The format is described in README.md.
#ifndef TOVIK_REPLAY_REPLAYSCRIPT_H
#define TOVIK_REPLAY_REPLAYSCRIPT_H

#include <string>
#include <vector>

namespace replay {

struct Step {
    enum class Kind { Converter, Start, Plug, Unplug, Set, Wait, WaitLog, WaitValue, Dump, Status };
    Kind kind;
    int line = 0;
    std::string name;              // converter, or parameter id name
    std::vector<std::string> args; // simulator options, dump patterns, or status address and bytes
    int config = 0;
    std::string value;             // set and wait-value; wait-log's text
    int ms = 0;
};

struct Script {
    std::vector<Step> steps;
};

// The script of a text; false with "line N: what is wrong" in *error.
bool ParseScript(const std::string& text, Script& out, std::string* error);

// Shell-style match of an id name: '*' any run of characters, '?' one.
bool NameMatches(const std::string& pattern, const std::string& name);

} // namespace replay

#endif
