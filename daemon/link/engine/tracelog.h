// A text log that keeps only its most recent lines, up to a size limit.
#ifndef PORTVANE_TRACELOG_H
#define PORTVANE_TRACELOG_H

#include <QString>

class TraceLog {
public:
    // lineEnd marks where one entry ends; trimming cuts only there.
    TraceLog(int limitChars, const QString& lineEnd) : _limit(limitChars), _lineEnd(lineEnd) {}

    // Appends, then drops whole entries from the front until the log fits.
    // An entry longer than the limit keeps only its tail.
    void Append(const QString& entry);
    const QString& Text() const { return _text; }
    void Clear() { _text.clear(); }

private:
    int _limit;
    QString _lineEnd;
    QString _text;
};

#endif
