// The watch commands and the value events of watched parameters.
#include <cerrno>
#include <cstring>

#include "argumentscanner.h"
#include "knobctl.h"
#include "tovikconfig/paramdescriptor.h"

namespace {

// perror's line for a command that found no word to read.
void ReportNoWord(FILE* err, const char* prefix)
{
    std::fprintf(err, "%s: %s\n", prefix, std::strerror(EINVAL));
}

} // namespace

int Knobctl::Watch(const std::string& line)
{
    std::string word;
    if (!ScanArgumentWord(line, "watch", word)) {
        ReportNoWord(_err, "watch error: ");
        return 0;
    }
    if (word[0] == '*') {
        _watchedIds.AddAll(_config->GetParamIDList());
        return 1;
    }
    ParamDescriptor* descriptor = FindParamByName(word);
    if (!descriptor)
        return 0;
    _watchedIds.Add(descriptor->GetParamID());
    return 1;
}

int Knobctl::Unwatch(const std::string& line)
{
    std::string word;
    if (!ScanArgumentWord(line, "unwatch", word)) {
        ReportNoWord(_err, "unwatch error: ");
        return 0;
    }
    if (word[0] == '*') {
        _watchedIds.Clear();
        return 1;
    }
    ParamDescriptor* descriptor = FindParamByName(word);
    if (!descriptor)
        return 0;
    _watchedIds.RemoveFirst(descriptor->GetParamID());
    return 1;
}

int Knobctl::IsWatched(const std::string& line)
{
    std::string word;
    if (!ScanArgumentWord(line, "iswatched", word))
        return MissingArgument("iswatched");
    ParamDescriptor* descriptor = FindParamByName(word);
    if (!descriptor)
        return 0;
    const bool watched = _watchedIds.Contains(descriptor->GetParamID());
    std::fprintf(_out, watched ? "%s is watched\n" : "%s is not watched\n", descriptor->GetParamIDName().c_str());
    return 1;
}

int Knobctl::ListWatches(const std::string&)
{
    for (eParam_t id : _watchedIds.Snapshot()) {
        if (ParamDescriptor* descriptor = _config->GetParamDescriptor(id))
            std::fprintf(_out, "watching %s\n", descriptor->GetParamIDName().c_str());
        else
            std::fprintf(_out, "watching 0x%X\n", unsigned(id));
    }
    return 1;
}

// The callbacks run on the store's thread. Each line is one call, so it
// never mixes with a line of the main thread; it is flushed at once, so a
// watcher sees it even when the output is a pipe.
int Knobctl::IntegerChanged(eParam_t id, int value, timeval)
{
    ParamDescriptor* descriptor = _config->GetParamDescriptor(id);
    if (!descriptor) {
        std::fprintf(_err, "event: param 0x%X = 0x%X (NO DESCRIPTOR FOUND!!!)\n", unsigned(id), unsigned(value));
        return 0;
    }
    if (_watchedIds.Contains(id)) {
        std::fprintf(_out, "event: %s = %s %s%s\n", descriptor->GetParamIDName().c_str(),
                     FormatInteger(value).c_str(), EnumValueName(descriptor, value).c_str(), "");
        std::fflush(_out);
    }
    return 1;
}

int Knobctl::StringChanged(eParam_t id, std::string& text, timeval)
{
    ParamDescriptor* descriptor = _config->GetParamDescriptor(id);
    if (!descriptor) {
        std::fprintf(_err, "event: param 0x%X = %s (NO DESCRIPTOR FOUND!!!)\n", unsigned(id), text.c_str());
        return 0;
    }
    if (_watchedIds.Contains(id)) {
        std::fprintf(_out, "event: %s = \"%s\"\n", descriptor->GetParamIDName().c_str(), text.c_str());
        std::fflush(_out);
    }
    return 1;
}

int Knobctl::DataChanged(eParam_t id, std::string& bytes, timeval)
{
    ParamDescriptor* descriptor = _config->GetParamDescriptor(id);
    if (!descriptor) {
        std::fprintf(_err, "event: param 0x%X = %d bytes (NO DESCRIPTOR FOUND!!!)\n", unsigned(id), int(bytes.size()));
        return 0;
    }
    if (_watchedIds.Contains(id))
        std::fprintf(_err, "event: %s = %d bytes\n", descriptor->GetParamIDName().c_str(), int(bytes.size()));
    return 1;
}
