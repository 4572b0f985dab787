// The one-shot get and set of the command line.
#ifndef KNOBCTL_ONESHOT_H
#define KNOBCTL_ONESHOT_H

#include <string>

class Knobctl;

// Statuses of the one-shot operations.
constexpr int kOneShotDone = 0;
constexpr int kOneShotNoSuchParam = 1;
constexpr int kOneShotIntegerRefused = 2;
constexpr int kOneShotStringRefused = 3;

// The value of the parameter with exactly this id name, printed alone.
int OneShotGet(Knobctl& knobctl, std::string idName);
// Sets the parameter with exactly this id name; an integer is read in C
// notation (decimal, 0x hexadecimal or leading-0 octal). Prints "true" or
// "false".
int OneShotSet(Knobctl& knobctl, std::string idName, std::string value);

#endif
