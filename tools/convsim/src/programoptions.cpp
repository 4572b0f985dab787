#include "convsim/programoptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <utility>

#include "toolcli.h"

namespace convsim {

namespace {

bool Number(const std::string& s, unsigned long max, unsigned long& out)
{
    if (s.empty() || s[0] == '-' || s[0] == '+')
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long v = std::strtoul(s.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > max)
        return false;
    out = v;
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool Hex(const std::string& s, size_t maxBytes, Bytes& out)
{
    if (s.size() % 2 != 0 || s.size() / 2 > maxBytes)
        return false;
    out.clear();
    for (size_t i = 0; i < s.size(); i += 2) {
        const int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(uint8_t(hi << 4 | lo));
    }
    return true;
}

using Setter = std::function<bool(ProgramOptions&, const std::string&)>;

Setter Byte(uint8_t Personality::*field, unsigned long max)
{
    return [field, max](ProgramOptions& o, const std::string& v) {
        unsigned long n = 0;
        if (!Number(v, max, n))
            return false;
        o.personality.*field = uint8_t(n);
        return true;
    };
}

Setter Word(uint16_t Personality::*field)
{
    return [field](ProgramOptions& o, const std::string& v) {
        unsigned long n = 0;
        if (!Number(v, 0xFFFF, n))
            return false;
        o.personality.*field = uint16_t(n);
        return true;
    };
}

Setter VersionOf(Version Personality::*field)
{
    return [field](ProgramOptions& o, const std::string& v) {
        return ParseVersion(v, o.personality.*field);
    };
}

Setter Text(std::string Personality::*field)
{
    return [field](ProgramOptions& o, const std::string& v) {
        return Unescape(v, o.personality.*field);
    };
}

// Keys of the options that are not single letters.
enum Key : int {
    kDump = 0x200,
    kWireTime,
    kType,
    kLink,
    kControl,
    kProtocolVersion,
    kModuleState,
    kInfoFlag,
    kSafeBootVersion,
    kAppVersion,
    kRelease,
    kFpgaVersion,
    kSerial,
    kBoardId,
    kName,
    kChunkSize,
    kChunkMax,
    kStatusImage,
    kConfigMemory,
    kFrameGap,
    kFault,
};

const std::vector<option>& Options()
{
    static const std::vector<option> options = {
        toolcli::HelpOption(),
        toolcli::VersionOption(),
        {"verbose", no_argument, nullptr, 'v'},
        {"dump", no_argument, nullptr, kDump},
        {"wire-time", no_argument, nullptr, kWireTime},
        {"type", required_argument, nullptr, kType},
        {"link", required_argument, nullptr, kLink},
        {"control", required_argument, nullptr, kControl},
        {"protocol-version", required_argument, nullptr, kProtocolVersion},
        {"module-state", required_argument, nullptr, kModuleState},
        {"info-flag", required_argument, nullptr, kInfoFlag},
        {"safe-boot-version", required_argument, nullptr, kSafeBootVersion},
        {"app-version", required_argument, nullptr, kAppVersion},
        {"release", required_argument, nullptr, kRelease},
        {"fpga-version", required_argument, nullptr, kFpgaVersion},
        {"serial", required_argument, nullptr, kSerial},
        {"board-id", required_argument, nullptr, kBoardId},
        {"name", required_argument, nullptr, kName},
        {"chunk-size", required_argument, nullptr, kChunkSize},
        {"chunk-max", required_argument, nullptr, kChunkMax},
        {"status-image", required_argument, nullptr, kStatusImage},
        {"config-memory", required_argument, nullptr, kConfigMemory},
        {"frame-gap", required_argument, nullptr, kFrameGap},
        {"fault", required_argument, nullptr, kFault},
    };
    return options;
}

// The setter of each option that takes a value, by key.
const std::map<int, Setter>& ValueSetters()
{
    static const std::map<int, Setter> setters = {
        {kLink, [](ProgramOptions& o, const std::string& v) {
             o.link = v;
             return !v.empty();
         }},
        {kControl, [](ProgramOptions& o, const std::string& v) {
             o.control = v;
             return !v.empty();
         }},
        {kProtocolVersion, Byte(&Personality::protocolVersion, 0xFF)},
        {kModuleState, Byte(&Personality::moduleState, 0x7F)},
        {kInfoFlag, [](ProgramOptions& o, const std::string& v) {
             unsigned long n = 0;
             if (!Number(v, 1, n))
                 return false;
             o.personality.infoFlag = n != 0;
             return true;
         }},
        {kSafeBootVersion, VersionOf(&Personality::safeBootVersion)},
        {kAppVersion, VersionOf(&Personality::appVersion)},
        {kRelease, VersionOf(&Personality::releaseVersion)},
        {kFpgaVersion, VersionOf(&Personality::fpgaVersion)},
        {kSerial, Text(&Personality::serialId)},
        {kBoardId, Text(&Personality::boardAssemblyId)},
        {kName, Text(&Personality::moduleName)},
        {kChunkSize, Word(&Personality::chunkSize)},
        {kChunkMax, Word(&Personality::chunkMax)},
        {kStatusImage, [](ProgramOptions& o, const std::string& v) {
             Bytes b;
             if (!Hex(v, kStatusImageBytes, b))
                 return false;
             std::copy(b.begin(), b.end(), o.personality.statusImage.begin());
             return true;
         }},
        {kConfigMemory, [](ProgramOptions& o, const std::string& v) {
             for (FpgaLayout& f : o.personality.fpgas)
                 for (BlockLayout& blk : f.blocks)
                     if (f.id == 0 && blk.id == 0) {
                         Bytes b;
                         if (!Hex(v, blk.memory.size(), b))
                             return false;
                         std::copy(b.begin(), b.end(), blk.memory.begin());
                         return true;
                     }
             return false;
         }},
        {kFrameGap, [](ProgramOptions& o, const std::string& v) {
             unsigned long n = 0;
             if (!Number(v, 60000, n) || n == 0)
                 return false;
             o.frameGapMs = int(n);
             return true;
         }},
        {kFault, [](ProgramOptions& o, const std::string& v) {
             Fault f;
             if (!ParseFault(v, f, nullptr))
                 return false;
             o.faults.push_back(f);
             return true;
         }},
    };
    return setters;
}

// The long name of an option, for messages.
std::string NameOf(int key)
{
    for (const option& o : Options())
        if (o.val == key)
            return std::string("--") + o.name;
    return "?";
}

bool Fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool ParseVersion(const std::string& text, Version& out)
{
    const size_t dot = text.find('.');
    unsigned long major = 0, minor = 0;
    if (dot == std::string::npos || !Number(text.substr(0, dot), 0xFF, major) ||
        !Number(text.substr(dot + 1), 0xFF, minor))
        return false;
    out = {uint8_t(major), uint8_t(minor)};
    return true;
}

bool Unescape(const std::string& text, std::string& out)
{
    std::string r;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            r += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            r += '\\';
            ++i;
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x')
            return false;
        const int hi = HexDigit(text[i + 2]), lo = HexDigit(text[i + 3]);
        if (hi < 0 || lo < 0)
            return false;
        r += char(hi << 4 | lo);
        i += 3;
    }
    out = r;
    return true;
}

bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions& out,
                         std::string* error)
{
    // The options in command-line order; the type, wherever it stands, chooses
    // the defaults the others then change.
    std::vector<std::pair<int, std::string>> given;
    std::string refusal;
    const bool read = toolcli::ParseOptions(
        args, Options(),
        [&given](int key, const char* value, std::string*) {
            given.emplace_back(key, value ? value : "");
            return true;
        },
        nullptr, &refusal);
    if (!read)
        return Fail(error, refusal);

    ProgramOptions o;
    for (const auto& g : given) {
        if (g.first != kType)
            continue;
        unsigned long t = 0;
        if (!Number(g.second, 0xFF, t))
            return Fail(error, "--type needs a number 0..255");
        o.personality = Personality::ForType(int(t));
    }
    const auto& setters = ValueSetters();
    for (const auto& g : given) {
        switch (g.first) {
        case toolcli::kHelpKey:
            o.help = true;
            break;
        case toolcli::kVersionKey:
            o.version = true;
            break;
        case 'v':
            o.verbose = true;
            break;
        case kDump:
            o.dump = true;
            break;
        case kWireTime:
            o.personality.wireTime = true;
            break;
        case kType:
            break;
        default:
            if (!setters.at(g.first)(o, g.second))
                return Fail(error, "bad value for " + NameOf(g.first) + ": " + g.second);
        }
    }
    if (!o.help && !o.version && o.link.empty())
        return Fail(error, "--link PATH is required");
    out = o;
    return true;
}

std::string ProgramUsage()
{
    return "Simulates a converter on a pseudo-terminal, for Portvane and tests without hardware.\n"
           "\n"
           "Usage: tovik-convsim --link=PATH [OPTION]...\n"
           "\n"
           "Serves a simulated converter on a pseudo-terminal linked at PATH until\n"
           "SIGTERM or SIGINT (exit 0) or an unplug fault (exit 3); bad options exit 2.\n"
           "Every option's value may follow as the next word or after '='.\n"
           "\n"
           "  --link PATH              where the pseudo-terminal's link is made\n"
           "  --type N                 module type 0..255 (default 5)\n"
           "  --protocol-version N     answer to 0x80 (default 1)\n"
           "  --module-state N         module state 0..127 (default 1)\n"
           "  --info-flag 0|1          module-info flag bit (default 0)\n"
           "  --safe-boot-version M.N  (default 1.0)\n"
           "  --app-version M.N        application image version (default 1.0)\n"
           "  --release M.N            release version (default 1.2)\n"
           "  --fpga-version M.N       registers 1, 2 of interface 1 device 0 (default 1.0)\n"
           "  --serial TEXT            serial id, 8 bytes (default SIMtt001)\n"
           "  --board-id TEXT          board assembly id, 9 bytes (default empty)\n"
           "  --name TEXT              module name, 16 bytes (default the type's name)\n"
           "                           TEXT may hold \\xHH escapes\n"
           "  --chunk-size N           chunk size announced to transfers (default 16)\n"
           "  --chunk-max N            most bytes per download answer (default 0: as asked)\n"
           "  --status-image HEX       status image bytes from register 0 (registers 1, 2\n"
           "                           follow --fpga-version)\n"
           "  --config-memory HEX      configuration memory of FPGA 0 block 0\n"
           "  --wire-time              delay answers by the 38400 baud wire time\n"
           "  --frame-gap MS           an incomplete frame is stale after MS (default 200)\n"
           "  --fault TEXT             kind[,key=value...], repeatable; kinds: busy delay\n"
           "                           silence split wrongcode unknown error garbage unplug;\n"
           "                           keys: code nth times addr count payload ms gap at\n"
           "                           value bytes answer (e.g. busy,code=0x8c,count=3;\n"
           "                           addr: register reads and writes at that address)\n"
           "  -v, --verbose            print every command received\n"
           "  --dump                   print the configuration memory and the status\n"
           "                           registers 0..63 at start and whenever they change\n"
           "  --control PATH           a named pipe made at PATH takes commands while\n"
           "                           serving: reg ADDR BYTE..., fault TEXT, clearfaults\n"
           "  -h, --help               print this text and exit\n"
           "      --version            print the version and exit\n";
}

std::string FormatLogEntry(const LogEntry& e)
{
    std::string line;
    char head[64];
    std::snprintf(head, sizeof head, "#%llu +%lldms 0x%02x:", static_cast<unsigned long long>(e.index),
                  static_cast<long long>(e.atMs), e.code);
    line = head;
    auto hex = [&line](const Bytes& b) {
        char x[4];
        for (uint8_t c : b) {
            std::snprintf(x, sizeof x, " %02X", c);
            line += x;
        }
    };
    hex(e.bytes);
    line += " ->";
    if (e.answer.empty())
        line += " (nothing)";
    hex(e.answer);
    return line;
}

} // namespace convsim
