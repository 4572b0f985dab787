#include "replayscript.h"

#include <cstdlib>
#include <set>
#include <sstream>

namespace replay {

namespace {

const int kMaxWaitMs = 60000;
const int kMaxConfig = 4;

// Words of a line: blanks separate, double quotes group, '#' outside quotes
// starts a comment. False for an unclosed quote.
bool Words(const std::string& line, std::vector<std::string>& out)
{
    out.clear();
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : line) {
        if (quoted) {
            if (c == '"')
                quoted = false;
            else
                word += c;
        } else if (c == '"') {
            quoted = inWord = true;
        } else if (c == '#' && !inWord) {
            break;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            if (inWord)
                out.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted)
        return false;
    if (inWord)
        out.push_back(word);
    return true;
}

bool Number(const std::string& text, int max, int& out)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    out = std::atoi(text.c_str());
    return out <= max;
}

// Decimal or 0x-prefixed hexadecimal, at most max.
bool Code(const std::string& text, unsigned long max)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 0);
    return *end == '\0' && v <= max;
}

bool PlainName(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_")
                                == std::string::npos;
}

} // namespace

bool ParseScript(const std::string& text, Script& out, std::string* error)
{
    out.steps.clear();
    std::set<std::string> converters;
    bool started = false;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        if (error)
            *error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        std::vector<std::string> w;
        if (!Words(line, w))
            return fail("unclosed quote");
        if (w.empty())
            continue;
        Step step;
        step.line = number;
        const std::string& verb = w[0];
        const size_t n = w.size();
        if (verb == "converter" || verb == "plug") {
            if (n < 2 || !PlainName(w[1]))
                return fail(verb + " needs a name of letters, digits and '_'");
            step.kind = verb == "converter" ? Step::Kind::Converter : Step::Kind::Plug;
            step.name = w[1];
            step.args.assign(w.begin() + 2, w.end());
            if (verb == "converter") {
                if (started)
                    return fail("converters are declared before start");
                if (!converters.insert(step.name).second)
                    return fail("converter " + step.name + " declared twice");
            } else if (!converters.count(step.name)) {
                return fail("no converter " + step.name);
            }
        } else if (verb == "unplug") {
            if (n != 2 || !converters.count(w[1]))
                return fail("unplug needs the name of a declared converter");
            step.kind = Step::Kind::Unplug;
            step.name = w[1];
        } else if (verb == "status") {
            bool ok = n >= 4 && converters.count(w[1]) && Code(w[2], 63);
            for (size_t i = 3; ok && i < n; ++i)
                ok = Code(w[i], 0xFF);
            if (!ok || n - 3 > size_t(64) - std::strtoul(w[2].c_str(), nullptr, 0))
                return fail("status needs a declared converter, a register 0 to 63 and bytes within the image");
            step.kind = Step::Kind::Status;
            step.name = w[1];
            step.args.assign(w.begin() + 2, w.end());
        } else if (verb == "start") {
            if (n != 1 || started)
                return fail(started ? "start given twice" : "start takes nothing");
            step.kind = Step::Kind::Start;
            started = true;
        } else if (verb == "wait") {
            if (n != 2 || !Number(w[1], kMaxWaitMs, step.ms))
                return fail("wait needs milliseconds, at most " + std::to_string(kMaxWaitMs));
            step.kind = Step::Kind::Wait;
        } else if (verb == "wait-log") {
            if (n != 2 || w[1].empty())
                return fail("wait-log needs one text (quote it when it has blanks)");
            step.kind = Step::Kind::WaitLog;
            step.value = w[1];
        } else if (verb == "set" || verb == "wait-value") {
            if (n != 4 || !Number(w[1], kMaxConfig, step.config) || w[2].compare(0, 9, "eParamID_") != 0)
                return fail(verb + " needs a config (0 to 4), an id name and a value");
            step.kind = verb == "set" ? Step::Kind::Set : Step::Kind::WaitValue;
            step.name = w[2];
            step.value = w[3];
        } else if (verb == "dump") {
            if (n < 2 || !Number(w[1], kMaxConfig, step.config))
                return fail("dump needs a config (0 to 4)");
            step.kind = Step::Kind::Dump;
            step.args.assign(w.begin() + 2, w.end());
        } else {
            return fail("unknown command \"" + verb + "\"");
        }
        const bool needsDaemon = step.kind == Step::Kind::Set || step.kind == Step::Kind::WaitLog
                                 || step.kind == Step::Kind::Status
                                 || step.kind == Step::Kind::WaitValue || step.kind == Step::Kind::Dump;
        if (needsDaemon && !started)
            return fail(verb + " comes after start");
        out.steps.push_back(step);
    }
    if (!started)
        return fail("no start");
    return true;
}

bool NameMatches(const std::string& pattern, const std::string& name)
{
    size_t p = 0, s = 0, star = std::string::npos, mark = 0;
    while (s < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[s])) {
            ++p;
            ++s;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = s;
        } else if (star != std::string::npos) {
            p = star + 1;
            s = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace replay
