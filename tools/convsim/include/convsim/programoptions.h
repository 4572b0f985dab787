// Command line of tovik-convsim.
#ifndef CONVSIM_PROGRAMOPTIONS_H
#define CONVSIM_PROGRAMOPTIONS_H

#include "convsim/fault.h"
#include "convsim/personality.h"
#include "convsim/simulator.h"

#include <string>
#include <vector>

namespace convsim {

struct ProgramOptions {
    std::string link;
    Personality personality = Personality::ForType(5);
    std::vector<Fault> faults;
    int frameGapMs = 200;
    bool verbose = false;
    bool dump = false; // print the configuration and status bytes as they change
    std::string control; // named pipe of commands while serving (controlchannel.h)
    bool help = false;
    bool version = false;
};

// args without the program name, options as getopt_long reads them
// ("--type 5" or "--type=5"). --type is applied first; every other option
// overrides the type's defaults in the order given.
bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions& out,
                         std::string* error);
std::string ProgramUsage();

// "M.N" with both numbers 0..255.
bool ParseVersion(const std::string& text, Version& out);
// Text with \xHH and \\ escapes to raw bytes.
bool Unescape(const std::string& text, std::string& out);
// One line for the command log: "#index +ms code: bytes -> answer".
std::string FormatLogEntry(const LogEntry& e);

} // namespace convsim

#endif
