#include "engine/tracelog.h"

#include <QtGlobal>

void TraceLog::Append(const QString& entry)
{
    _text += entry;
    const int excess = _text.size() - _limit;
    if (excess <= 0)
        return;
    // Cut after the first entry end that removes at least the excess.
    const int from = qMax(0, excess - _lineEnd.size());
    const int at = _lineEnd.isEmpty() ? -1 : _text.indexOf(_lineEnd, from);
    if (at >= 0 && at + _lineEnd.size() < _text.size()) {
        _text.remove(0, at + _lineEnd.size());
        return;
    }
    _text.remove(0, excess);
}
