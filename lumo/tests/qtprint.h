// Readable QString values in test failure messages.
#ifndef LUMO_TESTS_QTPRINT_H
#define LUMO_TESTS_QTPRINT_H

#include <ostream>

#include <QString>

inline void PrintTo(QString const& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

#endif
