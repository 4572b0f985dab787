// A debug message written item by item as the converter wrappers write them
// on Qt's debug stream: each item followed by one blank, numbers in decimal,
// texts as they are, a variant in the stream's "QVariant(type, value)"
// notation with its text as it is between the quotes (Qt 5's stream would
// escape quotes and control characters).
//
//   DebugLine() << "Not a valid param - " << id;   // "Not a valid param -  17 "
#ifndef PORTVANE_MODELS_DEBUGLINE_H
#define PORTVANE_MODELS_DEBUGLINE_H

#include <QString>
#include <QVariant>

class DebugLine {
public:
    DebugLine() = default;
    // Writes the line.
    ~DebugLine();
    DebugLine(const DebugLine&) = delete;
    DebugLine& operator=(const DebugLine&) = delete;

    DebugLine& operator<<(const char* text);
    DebugLine& operator<<(const QString& text);
    DebugLine& operator<<(qint64 number);
    DebugLine& operator<<(quint64 number);
    DebugLine& operator<<(int number) { return *this << qint64(number); }
    DebugLine& operator<<(unsigned number) { return *this << quint64(number); }
    DebugLine& operator<<(const QVariant& value);

    const QString& Text() const { return _text; }

private:
    QString _text;
};

// "QVariant(type, value)" as the debug stream notes a variant.
QString VariantDebugText(const QVariant& value);

#endif
