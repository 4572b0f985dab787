// The command-line conventions our tools share: options read with
// getopt_long (so "--port=N" and "--port N" both work, and long options may
// be abbreviated), --help and --version, and one way to report misuse.
#ifndef TOOLCLI_TOOLCLI_H
#define TOOLCLI_TOOLCLI_H

#include <functional>
#include <string>
#include <vector>

#include <getopt.h>

namespace toolcli {

// Exit status of a command line that cannot be used.
constexpr int kUsageStatus = 2;

// Keys of the options every tool has.
constexpr int kHelpKey = 'h';
constexpr int kVersionKey = 0x100;

// Called for each option in command-line order with its key and its value
// (null when it takes none); false refuses it, with the reason in *error.
using OptionHandler = std::function<bool(int key, const char* value, std::string* error)>;

// Reads args (without the program name) against the long options (ended by
// the caller's table, no terminator needed); an option whose key is a
// printable character also answers to that short form. Operands, wherever
// they stand, land in *operands, in order; "--" ends the options. False on
// an unknown option, a missing or unexpected value, an operand when
// operands is null, or a handler's refusal, with the reason in *error.
bool ParseOptions(const std::vector<std::string>& args, const std::vector<option>& options,
                  const OptionHandler& handle, std::vector<std::string>* operands, std::string* error);

// The entries of --help and --version, for a tool's option table.
option HelpOption();
option VersionOption();

// A command line as read: whether it could be used (else why not), and
// whether --help or --version was asked for.
struct Reading {
    bool ok = false;
    std::string error;
    bool help = false;
    bool version = false;
};

// ParseOptions with --help and --version added to the tool's options and
// taken here; handle sees the tool's own options only.
Reading ReadCommandLine(int argc, char** argv, const std::vector<option>& options, const OptionHandler& handle,
                        std::vector<std::string>* operands);

// What a tool does once its command line is read, before its own work: a
// refused line is reported (kUsageStatus), --help prints the usage and
// --version the version line on standard output (0). -1: none of these,
// the tool goes on.
int Conclude(const std::string& program, const Reading& reading, const std::string& usage);

// "<program> (Tovik) <version>", as --version prints it.
std::string VersionLine(const std::string& program);

// Writes "<program>: <message>" and a pointer to --help on standard error;
// returns kUsageStatus.
int UsageError(const std::string& program, const std::string& message);

// A TCP port 0..65535 in decimal (0: the system picks one).
bool ParsePort(const char* text, int* port);

} // namespace toolcli

#endif
