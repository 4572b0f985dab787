// The daemon's messages in double quotes, as Qt 4's debug stream printed a
// string: the text as it is between the quotes. Qt 5's stream would escape
// quotes, backslashes and control characters (a tab became "\t").
#ifndef PORTVANE_QUOTEDDEBUG_H
#define PORTVANE_QUOTEDDEBUG_H

#include <QDebug>
#include <QString>

// For a stream in noquote() mode: qDebug().noquote() << Quoted(text).
inline QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

inline void DebugQuoted(const QString& text)
{
    qDebug().noquote() << Quoted(text);
}

inline void WarnQuoted(const QString& text)
{
    qWarning().noquote() << Quoted(text);
}

#endif
