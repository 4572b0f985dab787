// The line history that the shell and the command files share (GNU
// readline's).
#ifndef KNOBCTL_LINEHISTORY_H
#define KNOBCTL_LINEHISTORY_H

#include <string>

// The line as it is run: leading blanks and tabs dropped and, when anything
// is left, trailing ones too; a non-empty line goes to the history.
std::string RecordLine(const std::string& line);

#endif
