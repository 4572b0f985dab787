// Command files: the start-up file in the home directory and the files the
// source command runs.
#ifndef KNOBCTL_COMMANDFILES_H
#define KNOBCTL_COMMANDFILES_H

#include <string>

#include "commandrunner.h"

// "$HOME/.configrc", empty when HOME is not set.
std::string StartupFilePath();

// Runs every line of the start-up file, echoing each first; stops at the
// first failing line and names it. 1 when every line ran or there is no
// HOME, 0 otherwise (a missing file included).
int RunStartupFile(int argc, char** argv, CommandRunner& runner);

// Runs every line of a file, whatever the results; blank-trimmed non-empty
// lines go to the history.
void SourceFile(CommandRunner& runner, const char* fileName);

#endif
