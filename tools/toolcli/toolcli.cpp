#include "toolcli.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace toolcli {

namespace {

// "h" for a key 'h' without a value, "p:" for one with; nothing for keys
// outside the printable range.
std::string ShortOptions(const std::vector<option>& options)
{
    // A leading ':' makes getopt tell a missing value (':') from an unknown
    // option ('?'); a leading '+' would stop at the first operand, so it is
    // left out and operands may stand anywhere.
    std::string text = ":";
    for (const option& o : options) {
        if (o.flag || o.val <= 0 || o.val > 0x7f || !std::isgraph(o.val) || o.val == ':' || o.val == '?')
            continue;
        text += char(o.val);
        if (o.has_arg == required_argument)
            text += ':';
        else if (o.has_arg == optional_argument)
            text += "::";
    }
    return text;
}

// What getopt refused, named as the user typed it. For a long option,
// getopt leaves optopt at 0 when it knows no such option, and at the
// option's key when it is known but was given a value it does not take.
std::string Refusal(int code, const char* word, int shortOption)
{
    if (word && word[0] == '-' && word[1] == '-') {
        std::string name = word;
        name = name.substr(0, name.find('='));
        if (code == ':')
            return "option '" + name + "' needs a value";
        if (shortOption != 0)
            return "option '" + name + "' takes no value";
        return "unknown option '" + name + "'";
    }
    const std::string name = std::string("-") + char(shortOption);
    if (code == ':')
        return "option '" + name + "' needs a value";
    return "unknown option '" + name + "'";
}

} // namespace

bool ParseOptions(const std::vector<std::string>& args, const std::vector<option>& options,
                  const OptionHandler& handle, std::vector<std::string>* operands, std::string* error)
{
    std::vector<option> table(options);
    table.push_back(option{nullptr, 0, nullptr, 0});
    const std::string shortOptions = ShortOptions(options);

    // getopt_long permutes argv, so it gets a private copy.
    std::vector<std::string> words;
    words.reserve(args.size() + 1);
    words.push_back("tool");
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);
    const int argc = int(words.size());

    std::string reason;
    bool ok = true;
    // optind 0 makes the GNU getopt start afresh, whatever an earlier call left.
    optind = 0;
    opterr = 0;
    for (;;) {
        const int previous = optind == 0 ? 1 : optind;
        const int key = getopt_long(argc, argv.data(), shortOptions.c_str(), table.data(), nullptr);
        if (key == -1)
            break;
        if (key == '?' || key == ':') {
            // The word getopt stopped at: the previous one for a missing
            // value at the end, else the one it was reading.
            const int at = optind > previous ? optind - 1 : previous;
            reason = Refusal(key, at < argc ? argv[size_t(at)] : nullptr, optopt);
            ok = false;
            break;
        }
        if (!handle(key, optarg, &reason)) {
            ok = false;
            break;
        }
    }
    if (ok) {
        for (int i = optind; i < argc; ++i) {
            if (!operands) {
                reason = std::string("unexpected argument '") + argv[size_t(i)] + "'";
                ok = false;
                break;
            }
            operands->push_back(argv[size_t(i)]);
        }
    }
    optind = 0;
    if (!ok && error)
        *error = reason;
    return ok;
}

Reading ReadCommandLine(int argc, char** argv, const std::vector<option>& options, const OptionHandler& handle,
                        std::vector<std::string>* operands)
{
    Reading r;
    std::vector<option> all = {HelpOption(), VersionOption()};
    all.insert(all.end(), options.begin(), options.end());
    r.ok = ParseOptions(
        std::vector<std::string>(argv + 1, argv + argc), all,
        [&](int key, const char* value, std::string* error) {
            if (key == kHelpKey)
                r.help = true;
            else if (key == kVersionKey)
                r.version = true;
            else
                return handle(key, value, error);
            return true;
        },
        operands, &r.error);
    return r;
}

int Conclude(const std::string& program, const Reading& reading, const std::string& usage)
{
    if (!reading.ok)
        return UsageError(program, reading.error);
    if (reading.help) {
        std::fputs(usage.c_str(), stdout);
        return 0;
    }
    if (reading.version) {
        std::printf("%s\n", VersionLine(program).c_str());
        return 0;
    }
    return -1;
}

option HelpOption()
{
    return option{"help", no_argument, nullptr, kHelpKey};
}

option VersionOption()
{
    return option{"version", no_argument, nullptr, kVersionKey};
}

std::string VersionLine(const std::string& program)
{
    return program + " (Tovik) " TOVIK_VERSION;
}

int UsageError(const std::string& program, const std::string& message)
{
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program.c_str(), message.c_str(),
                 program.c_str());
    return kUsageStatus;
}

bool ParsePort(const char* text, int* port)
{
    if (!text || !std::isdigit(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < 0 || value > 65535)
        return false;
    *port = int(value);
    return true;
}

} // namespace toolcli
