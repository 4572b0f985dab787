#include "shell.h"

#include <cstdio>
#include <cstdlib>
// readline's header needs FILE declared first.
#include <readline/history.h>
#include <readline/readline.h>

#include "completion.h"
#include "knobctl.h"
#include "texthelpers.h"

std::string Prompt(int configID, const char* modelName)
{
    return "config " + std::to_string(configID) + " (" + modelName + ")# ";
}

void AddLineToHistory(const std::string& line) { add_history(line.c_str()); }

void RunInteractive(Knobctl& knobctl, int configID, const char* modelName)
{
    rl_readline_name = "knobctl";
    rl_attempted_completion_function = AttemptedCompletion;
    const std::string prompt = Prompt(configID, modelName);
    for (;;) {
        char* input = readline(prompt.c_str());
        if (!input)
            return;
        // Taken whole, however long.
        std::string line(input);
        std::free(input);
        line = TrimLeadingBlanks(line);
        if (!line.empty()) {
            line = TrimTrailingBlanks(line);
            AddLineToHistory(line);
        }
        knobctl.ExecuteCommand(line.c_str());
    }
}
