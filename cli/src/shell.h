// The interactive shell on GNU readline: prompt, line editing, history and
// tab completion.
#ifndef KNOBCTL_SHELL_H
#define KNOBCTL_SHELL_H

#include <string>

class Knobctl;

// "config <id> (<model name>)# "
std::string Prompt(int configID, const char* modelName);

// Reads lines until the end of input and runs each, trimmed of blanks and
// tabs; non-empty lines go to the history.
void RunInteractive(Knobctl& knobctl, int configID, const char* modelName);

#endif
