// Text routines shared by the interpreter, the shell and the command files.
#ifndef KNOBCTL_TEXTHELPERS_H
#define KNOBCTL_TEXTHELPERS_H

#include <string>
#include <vector>

// Words separated by white space. A word that begins with a double quote
// runs to the next double quote (white space kept, quotes dropped); a word
// that both begins and ends with one loses both.
std::vector<std::string> TokenizeCommandLine(std::string line);

// The pieces between delimiters, as std::getline yields them: an empty piece
// between two adjacent delimiters, none after a final delimiter.
std::vector<std::string> SplitString(std::string text, char delimiter);

// The whole file into out. False without a message when it cannot be
// opened; other failures are reported on standard error.
bool read_file(const char* path, std::string& out);

// Blanks and tabs at either end cut off.
std::string TrimLeadingBlanks(const std::string& text);
std::string TrimTrailingBlanks(const std::string& text);

#endif
