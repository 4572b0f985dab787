// Lines for the systemd journal. A service's standard output or error that
// systemd connects to the journal is named by JOURNAL_STREAM
// ("<device>:<inode>" of that stream, in decimal); a line written there
// may start with "<N>", its syslog priority, which the journal keeps as the
// line's level instead of the unit's default. Elsewhere lines go out as
// they are.
#ifndef TOVIK_JOURNALSTREAM_H
#define TOVIK_JOURNALSTREAM_H

#include <cstdio>
#include <string>

namespace journal {

// The syslog priorities our lines carry.
enum Priority { kError = 3, kWarning = 4, kInfo = 6, kDebug = 7 };

// True when text (JOURNAL_STREAM's value, null when unset) names the stream
// with this device and inode: two decimal numbers and a colon, nothing else.
bool NamesStream(const char* text, unsigned long long device, unsigned long long inode);

// True when descriptor fd is the stream JOURNAL_STREAM names.
bool GoesToJournal(int fd);

// text with "<priority>" in front of each of its lines (a line ends at a
// newline; a last one without it counts too).
std::string WithPriority(const std::string& text, Priority priority);

// Writes text to stream in one piece, each line with its priority when the
// stream goes to the journal, as it is otherwise; flushes the stream.
void Write(FILE* stream, Priority priority, const std::string& text);

// Write of a printf-style text.
void Printf(FILE* stream, Priority priority, const char* format, ...) __attribute__((format(printf, 3, 4)));

} // namespace journal

#endif
