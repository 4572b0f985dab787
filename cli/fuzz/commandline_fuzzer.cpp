// Program arguments (NUL-separated in the input) through the option parser,
// and each argument through the text and number readers the program uses
// on them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "argumentscanner.h"
#include "commandline.h"
#include "texthelpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::vector<std::string> args = {"knobctl"};
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current.push_back(char(data[i]));
        }
    }
    args.push_back(current);

    const CommandLine parsed = ParseCommandLine(args);
    if (parsed.configID < 0 || parsed.configID > kMaxDeviceConfigID)
        __builtin_trap();

    for (const std::string& arg : args) {
        std::int64_t number = 0;
        ReadNumber(arg.c_str(), 0, number);
        std::int32_t bits = 0;
        ToInt32Bits(number, bits);
        TokenizeCommandLine(arg);
        SplitString(arg, '\n');
    }
    return 0;
}
