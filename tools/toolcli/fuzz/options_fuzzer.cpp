// Command-line words, one a line, into the tools' option reader: once
// against a small table of every option kind, once as tovik-convsim's whole
// command line (its values' parsers included). Operands are words of the
// line, and a refusal always says why.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "convsim/programoptions.h"
#include "toolcli.h"

namespace {

std::vector<std::string> Words(const uint8_t* data, size_t size)
{
    std::vector<std::string> words;
    std::string word;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            words.push_back(word);
            word.clear();
        } else {
            word += char(data[i]);
        }
    }
    words.push_back(word);
    return words;
}

const std::vector<option> kOptions = {
    toolcli::HelpOption(),
    toolcli::VersionOption(),
    {"port", required_argument, nullptr, 'p'},
    {"verbose", no_argument, nullptr, 'v'},
    {"level", optional_argument, nullptr, 'l'},
    {"name", required_argument, nullptr, 0x200},
    {"names", no_argument, nullptr, 0x201},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> words = Words(data, size);
    std::vector<std::string> operands;
    std::string error;
    const bool ok = toolcli::ParseOptions(
        words, kOptions,
        [](int key, const char* value, std::string* refusal) {
            int port = 0;
            if (key == 'p' && !toolcli::ParsePort(value, &port)) {
                *refusal = "bad port";
                return false;
            }
            return true;
        },
        &operands, &error);
    if (ok && operands.size() > words.size())
        __builtin_trap();
    if (!ok && error.empty())
        __builtin_trap();

    convsim::ProgramOptions options;
    error.clear();
    if (!convsim::ParseProgramOptions(words, options, &error) && error.empty())
        __builtin_trap();
    return 0;
}
