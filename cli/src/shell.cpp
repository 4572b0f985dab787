#include "shell.h"

#include <cstdio>
#include <cstdlib>
// readline's header needs FILE declared first.
#include <readline/readline.h>

#include "completion.h"
#include "knobctl.h"
#include "linehistory.h"

std::string Prompt(int configID, const char* modelName)
{
    return "config " + std::to_string(configID) + " (" + modelName + ")# ";
}

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
        const std::string line = RecordLine(input);
        std::free(input);
        knobctl.ExecuteCommand(line.c_str());
    }
}
