// Tab completion for the shell: command names for the first word,
// parameter names (without their "eParamID_" prefix) after a command that
// takes one, and the items of an enumeration after "set <name> " or
// "timing <name> ".
#ifndef KNOBCTL_COMPLETION_H
#define KNOBCTL_COMPLETION_H

#include <string>
#include <vector>

class Config;

enum class CompletionList { Commands, ParamNames, EnumValues, None };

// Which list completes the word from start to end of the line; None leaves
// readline's own (file name) completion in force.
CompletionList ChooseCompletion(const std::string& line, int start, int end);

// "<value> (<item name>)" for each item of the enumeration named by the
// line's second word, in ascending value order; empty for a parameter of
// another kind or none.
std::vector<std::string> EnumCompletionEntries(Config* config, const std::string& line);

// The line's second word, with "eParamID_" put in front when it has none;
// empty when the line has fewer than two words.
std::string SecondWordAsIdName(const char* line);

// readline's entry and the generators it calls; each candidate is a copy
// made with strdup, the end of the list null.
char** AttemptedCompletion(const char* text, int start, int end);
char* CommandNameGenerator(const char* text, int state);
char* ParamNameGenerator(const char* text, int state);
char* EnumValueNameGenerator(const char* text, int state);

// The candidates of the enumeration being completed.
extern std::vector<std::string> EnumCompletionList;

#endif
