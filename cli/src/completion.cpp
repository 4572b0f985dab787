#include "completion.h"

#include <cstdio>
#include <cstring>
#include <sstream>
// readline's header needs FILE declared first.
#include <readline/readline.h>

#include "knobctl.h"
#include "tovikconfig/enumdescriptor.h"

std::vector<std::string> EnumCompletionList;

namespace {

const char kIdPrefix[] = "eParamID_";

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

bool OneOf(const std::string& word, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (word == name)
            return true;
    return false;
}

// A walk over a list of candidates that readline asks for one at a time:
// state 0 starts again from the top.
class CandidateWalk {
public:
    template <typename NameAt>
    char* Next(const char* text, int state, size_t count, NameAt nameAt)
    {
        if (state == 0) {
            _position = 0;
            _length = std::strlen(text);
        }
        while (_position < count) {
            const char* name = nameAt(_position++);
            if (std::strncmp(name, text, _length) == 0)
                return ::strdup(name);
        }
        return nullptr;
    }

private:
    size_t _position = 0;
    size_t _length = 0;
};

CandidateWalk commandWalk;
CandidateWalk paramWalk;
CandidateWalk enumWalk;

const char* LineBuffer() { return rl_line_buffer ? rl_line_buffer : ""; }

} // namespace

CompletionList ChooseCompletion(const std::string& line, int start, int end)
{
    if (start == 0)
        return CompletionList::Commands;
    if (end < 0)
        return CompletionList::None;
    // The line up to and including the cursor position.
    const std::vector<std::string> words = Words(line.substr(0, size_t(end) + 1));
    if (words.empty())
        return CompletionList::None;
    const size_t n = words.size();
    const std::string& command = words[0];
    if (!OneOf(command, {"get", "set", "describe", "dump", "watch", "unwatch", "iswatched", "timing"}))
        return CompletionList::None;
    const bool afterBlank = end > 0 && size_t(end) <= line.size() && (line[end - 1] == ' ' || line[end - 1] == '\t');
    if (n == 1 || (n == 2 && !afterBlank))
        return CompletionList::ParamNames;
    if ((n == 2 || n == 3) && OneOf(command, {"set", "timing"}))
        return CompletionList::EnumValues;
    return CompletionList::None;
}

std::string SecondWordAsIdName(const char* line)
{
    const std::vector<std::string> words = Words(line ? line : "");
    if (words.size() < 2)
        return std::string();
    const std::string& word = words[1];
    return word.find(kIdPrefix) == std::string::npos ? kIdPrefix + word : word;
}

std::vector<std::string> EnumCompletionEntries(Config* config, const std::string& line)
{
    std::vector<std::string> entries;
    const std::string name = SecondWordAsIdName(line.c_str());
    if (!config || name.empty())
        return entries;
    EnumDescriptor* descriptor = dynamic_cast<EnumDescriptor*>(config->GetParamDescriptor(name));
    if (!descriptor)
        return entries;
    for (const auto& item : descriptor->GetEnumValueDescriptors())
        entries.push_back(std::to_string(item.first) + " (" + item.second.name + ")");
    return entries;
}

char* CommandNameGenerator(const char* text, int state)
{
    size_t count = 0;
    while (Knobctl::CommandTable[count].help)
        ++count;
    return commandWalk.Next(text, state, count, [](size_t i) { return Knobctl::CommandTable[i].name; });
}

char* ParamNameGenerator(const char* text, int state)
{
    return paramWalk.Next(text, state, ParamNameList.size(), [](size_t i) { return ParamNameList[i].c_str(); });
}

char* EnumValueNameGenerator(const char* text, int state)
{
    if (state == 0)
        EnumCompletionList = EnumCompletionEntries(ActiveConfig, LineBuffer());
    return enumWalk.Next(text, state, EnumCompletionList.size(),
                         [](size_t i) { return EnumCompletionList[i].c_str(); });
}

char** AttemptedCompletion(const char* text, int start, int end)
{
    switch (ChooseCompletion(LineBuffer(), start, end)) {
    case CompletionList::Commands:
        return rl_completion_matches(text, CommandNameGenerator);
    case CompletionList::ParamNames:
        return rl_completion_matches(text, ParamNameGenerator);
    case CompletionList::EnumValues:
        return rl_completion_matches(text, EnumValueNameGenerator);
    case CompletionList::None:
        break;
    }
    return nullptr;
}
