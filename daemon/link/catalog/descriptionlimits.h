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
    // The streaming reader's error where it could not read on; the limits
    // hold up to there.
    QString unreadable;
    int line = 0;
    int column = 0;
};

// The first limit the document passes. Before the walk, the tags are
// counted: a document with more than two per node allowed (a start and an
// end tag each) is refused unread, so that no parser ever builds more.
Breach Check(const QByteArray& bytes, const Limits& limits = kLimits);

// The limits in a few words, for messages.
QString Summary();

}

#endif
