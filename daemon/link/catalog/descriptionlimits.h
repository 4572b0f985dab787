// What one hardware description file may hold, so that no file costs the
// daemon more than a little memory and time: the document is walked with
// the streaming reader, which keeps nothing, before the DOM is built. The
// shipped files are under 400 bytes with ten elements four levels deep,
// names of 19 characters and values of 30.
#ifndef PORTVANE_DESCRIPTIONLIMITS_H
#define PORTVANE_DESCRIPTIONLIMITS_H

#include <QByteArray>
#include <QString>

namespace DescriptionLimits {

constexpr qint64 kMaxFileSize = 64 * 1024;
// Elements, texts, comments, processing instructions and entity
// declarations together.
constexpr int kMaxNodes = 1024;
constexpr int kMaxDepth = 32;
constexpr int kMaxAttributes = 32;    // on one element
constexpr int kMaxNameLength = 64;    // of an element or attribute, in characters
constexpr int kMaxValueLength = 1024; // of an attribute value or a text

struct Limits {
    qint64 fileSize;
    int nodes;
    int depth;
    int attributes;
    int nameLength;
    int valueLength;
};

constexpr Limits kLimits = {kMaxFileSize, kMaxNodes, kMaxDepth, kMaxAttributes, kMaxNameLength, kMaxValueLength};

struct Breach {
    // What passed a limit; empty when the document is within them all.
    QString what;
    int line = 0;
    int column = 0;
};

// The first limit the document passes. A document the streaming reader
// finds malformed is within the limits up to where it failed.
Breach Check(const QByteArray& bytes, const Limits& limits = kLimits);

// The limits in a few words, for messages.
QString Summary();

}

#endif
