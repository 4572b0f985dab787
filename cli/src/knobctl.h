// knobctl's command interpreter: runs one text line at a time against the
// connected config, and prints the changes of watched parameters, which it
// receives as the config's event listener.
#ifndef KNOBCTL_KNOBCTL_H
#define KNOBCTL_KNOBCTL_H

#include <atomic>
#include <cstdio>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "commandrunner.h"
#include "paramlink/config.h"
#include "watchlist.h"

class ParamDescriptor;

// The commands' config, set by main before the interpreter is built; read
// by enumeration value completion.
extern Config* ActiveConfig;

// Every id name of the store less its "eParamID_" prefix, in the order of
// the store's id list; filled by the interpreter, read by completion.
extern std::vector<std::string> ParamNameList;

class Knobctl;

// One command of Knobctl::CommandTable: its name, the keywords that pick it
// and their place in the search, what runs it, and its help text.
struct CommandTableRow {
    const char* name;
    // Found anywhere in a line (a substring, not a word), they pick the
    // command; of the keywords a line holds, the lowest place wins, so
    // "describe hexagon" runs hex.
    const char* keywords[3];
    int place;
    int (Knobctl::*run)(const std::string& line);
    // Null for the commands that help and completion leave out.
    const char* help;
};
// The listed command of that exact name, or null.
const CommandTableRow* FindCommand(const std::string& word);
// The command a line runs, or null when it holds no keyword.
const CommandTableRow* PickCommand(const std::string& line);

class Knobctl : public ConfigEventListener, public CommandRunner {
public:
    // Registers itself as eventsConfig's listener. Values and most messages
    // go to out, argument errors and data events to err.
    Knobctl(int argc, char** argv, Config* config, Config* eventsConfig, FILE* out = stdout, FILE* err = stderr);
    ~Knobctl() override;
    Knobctl(const Knobctl&) = delete;
    Knobctl& operator=(const Knobctl&) = delete;

    int IntegerChanged(eParam_t id, int value, timeval when) override;
    int StringChanged(eParam_t id, std::string& text, timeval when) override;
    int DataChanged(eParam_t id, std::string& bytes, timeval when) override;

    // Runs one line: 1 success, 0 failure.
    int ExecuteCommand(const char* line) override;

    // Every command: first those help and completion list, in their order,
    // then those they leave out; ended by a row whose name is null.
    static const CommandTableRow CommandTable[];

    // Called by the exit command with status 0; the default flushes the
    // output and ends the process.
    void SetExitHandler(std::function<void(int)> handler) { _exitHandler = std::move(handler); }

    Config* GetConfig() const { return _config; }
    bool IsMapped() const { return _mapped; }
    FILE* Out() const override { return _out; }
    FILE* Err() const override { return _err; }
    const char* OutputFormat() const { return _outputFormat.load(); }
    const char* InputFormat() const { return _inputFormat.load(); }
    // An integer in the current output format.
    std::string FormatInteger(int value) const;

    // "(item name)" for an enumeration, empty for any other descriptor.
    static std::string EnumValueName(ParamDescriptor* descriptor, int value);
    // Prints "<id name> == <value>" for an integer or string parameter.
    void ValueLine(ParamDescriptor* descriptor);
    // Adds "eParamID_" to name when it has none, then looks it up; prints
    // "Invalid paramID" when there is no such parameter.
    ParamDescriptor* FindParamByName(std::string& name);

private:
    // The commands, each given the whole line.
    int Set(const std::string& line);
    int Get(const std::string& line);
    int SetData(const std::string& line);
    int GetData(const std::string& line);
    int Unwatch(const std::string& line);
    int Watch(const std::string& line);
    int IsWatched(const std::string& line);
    int ListWatches(const std::string& line);
    int ListParams(const std::string& line);
    int Source(const std::string& line);
    int Hex(const std::string& line);
    int Decimal(const std::string& line);
    int Describe(const std::string& line);
    int Dump(const std::string& line);
    int Timing(const std::string& line);
    int Factory(const std::string& line);
    int Help(const std::string& line);
    int Clips(const std::string& line);
    int Exit(const std::string& line);

    // The id list of a describe or dump argument: every id for "*", the
    // named one, or none when the name has no parameter.
    std::list<eParam_t> IdsOf(std::string& argument);
    void DescribeParam(ParamDescriptor* descriptor);
    void DescribeInteger(ParamDescriptor* descriptor);
    void DescribeEnum(ParamDescriptor* descriptor);
    void DescribeDecimal(ParamDescriptor* descriptor);
    // Prints "<label><id name>" for an id, or its bare number without a
    // descriptor.
    void RelatedIdLine(const char* label, eParam_t id);
    // "<command>: missing argument" on err; returns 0.
    int MissingArgument(const char* command);
    // The parameter named by a tokenized line's second word; null after
    // reporting a missing word or an unknown name.
    ParamDescriptor* SecondWordParam(const std::vector<std::string>& words, const char* command, std::string& name);
    // Sets the value and prints what the store then holds; "set failed"
    // and 0 when the store refuses it.
    int AssignInteger(ParamDescriptor* descriptor, int value);
    int AssignString(ParamDescriptor* descriptor, std::string value);

    Config* _config;
    Config* _eventsConfig;
    bool _mapped;
    WatchList _watchedIds;
    std::atomic<const char*> _outputFormat;
    std::atomic<const char*> _inputFormat;
    FILE* _out;
    FILE* _err;
    std::function<void(int)> _exitHandler;
};

#endif
