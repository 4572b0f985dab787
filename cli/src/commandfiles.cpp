#include "commandfiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "linehistory.h"
#include "texthelpers.h"

std::string StartupFilePath()
{
    const char* home = std::getenv("HOME");
    return home ? std::string(home) + "/.configrc" : std::string();
}

int RunStartupFile(int, char**, CommandRunner& runner)
{
    const std::string path = StartupFilePath();
    if (path.empty())
        return 1;
    std::string text;
    if (!read_file(path.c_str(), text)) {
        // "File not found" is never said of the start-up file.
        if (path.find("configrc") == std::string::npos)
            std::fprintf(runner.Out(), "File not found: %s\n", path.c_str());
        return 0;
    }
    const std::vector<std::string> lines = SplitString(text, '\n');
    for (size_t i = 0; i < lines.size(); ++i) {
        std::fprintf(runner.Out(), "%s\n", lines[i].c_str());
        if (!runner.ExecuteCommand(lines[i].c_str())) {
            std::fprintf(runner.Out(), "%s:%d: error: failed command %s\n", path.c_str(), int(i + 1),
                         lines[i].c_str());
            return 0;
        }
    }
    return 1;
}

namespace {

// A file that sources itself, directly or not, stops here instead of
// exhausting the stack.
const int kMaxSourceDepth = 64;
int sourceDepth = 0;

} // namespace

void SourceFile(CommandRunner& runner, const char* fileName)
{
    if (sourceDepth >= kMaxSourceDepth) {
        std::fprintf(runner.Err(), "source: files nested too deeply: %s\n", fileName);
        return;
    }
    FILE* file = std::fopen(fileName, "r");
    if (!file) {
        std::fprintf(runner.Out(), "%s: %s\n", std::strerror(errno), fileName);
        return;
    }
    // Lines are read whole, however long; each keeps its line end.
    char* buffer = nullptr;
    size_t capacity = 0;
    ssize_t length;
    ++sourceDepth;
    while ((length = ::getline(&buffer, &capacity, file)) > 0) {
        const std::string line = RecordLine(std::string(buffer, size_t(length)));
        runner.ExecuteCommand(line.c_str());
    }
    --sourceDepth;
    std::free(buffer);
    std::fclose(file);
}
