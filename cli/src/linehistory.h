// The line history that the shell and the command files share (GNU
// readline's), bounded: the last kHistoryLines lines, each at most
// kHistoryLineBytes long, so a long session or a big command file costs
// no more memory than that.
#ifndef KNOBCTL_LINEHISTORY_H
#define KNOBCTL_LINEHISTORY_H

#include <cstddef>
#include <string>

const int kHistoryLines = 500;
const size_t kHistoryLineBytes = 4096;

// The line as it is run: leading blanks and tabs dropped and, when anything
// is left, trailing ones too; a non-empty line no longer than
// kHistoryLineBytes goes to the history, which then drops its oldest line
// when it holds kHistoryLines.
std::string RecordLine(const std::string& line);

#endif
