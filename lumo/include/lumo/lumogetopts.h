// Single-letter command-line options in the manner of getopt: set() the
// words once, then call getopt() until it returns false, reading _option
// and _argument after each true result. Non-option words are set aside in
// _nonOptions; a failure sets _error (until the next set) and _errorString.
#ifndef LUMO_LUMOGETOPTS_H
#define LUMO_LUMOGETOPTS_H

#include <QString>
#include <QStringList>

#include "lumo/lumoglobal.h"

class LUMO_EXPORT LumoGetOpts {
public:
    void set(QStringList const& args);
    // optionString: the option letters, each followed by ':' when it takes
    // an argument (like "ab:"). Each examined word is used up.
    bool getopt(char const* optionString);

    bool _error = false;
    int _option = 0;          // 8-bit code of the option letter examined last
    QString _errorString;
    QString _argument;        // null for an option without argument
    QStringList _args;        // words not yet examined
    QStringList _nonOptions;  // skipped words, in the order met
};

#endif
