// tovik-descdump's command line and run, shared by the installed program
// and the test build that adds options pinning the box identity texts.
#ifndef DESCDUMP_DESCDUMPTOOL_H
#define DESCDUMP_DESCDUMPTOOL_H

#include <functional>
#include <string>
#include <vector>

#include <getopt.h>

namespace descdump {

// An option a build of the tool adds to --help and --version.
struct ExtraOption {
    option entry;     // its getopt_long entry; keys from 0x200 on
    const char* help; // its lines of the usage text
    std::function<void(const char* value)> apply;
};

// Reads the options, fills a descriptor table for the model number and
// prints it in the canonical dump form. Returns the exit status: 0 printed,
// 1 the model's table was refused or is incomplete (what was built is still
// printed), 2 bad arguments.
int Main(const std::string& program, int argc, char** argv, const std::vector<ExtraOption>& extra);

} // namespace descdump

#endif
