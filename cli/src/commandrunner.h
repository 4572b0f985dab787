// What runs a command file's lines: the interpreter, seen only as a line
// runner with its two output streams.
#ifndef KNOBCTL_COMMANDRUNNER_H
#define KNOBCTL_COMMANDRUNNER_H

#include <cstdio>

class CommandRunner {
public:
    virtual ~CommandRunner() = default;
    // Runs one line: 1 success, 0 failure.
    virtual int ExecuteCommand(const char* line) = 0;
    virtual FILE* Out() const = 0;
    virtual FILE* Err() const = 0;
};

#endif
