// liblumo's own event-style XML reader. It scans a whole document held in
// memory as 8-bit text in one pass and reports elements opened and closed,
// properties (attributes) and runs of character data through virtual hooks;
// a subclass overrides the hooks it needs. Comments, declarations and
// processing instructions are skipped, also inside character data; character
// data knows the five named entities. The first error ends the parse and goes to parseError, whose
// default logs it with the whole document, and aborts the process when
// LumoXML_ABORTONPARSE is set.
#ifndef LUMO_LUMOXMLPARSER_H
#define LUMO_LUMOXMLPARSER_H

#include <QByteArray>
#include <QString>

#include "lumo/lumoglobal.h"

class LUMO_EXPORT LumoXMLParser {
public:
    LumoXMLParser();
    virtual ~LumoXMLParser();

    LumoXMLParser(LumoXMLParser const&) = delete;
    LumoXMLParser& operator=(LumoXMLParser const&) = delete;

    // A hook that returns false ends the parse at once: parse returns false
    // and no error is reported. The arrays handed to the hooks are valid for
    // the call; copies of them stay valid.

    // One run of character data, entities decoded, trailing whitespace kept.
    virtual bool parseData(QByteArray const& data);
    // The element's name as written, prefix and colon included.
    virtual bool parseNodeOpen(QByteArray const& name);
    // A close tag, or the '/' of a self-closing element.
    virtual bool parseNodeClose(QByteArray const& name);
    // One property of the element opened last; the value entities decoded.
    virtual bool parseProperty(QByteArray const& name, QByteArray const& value);
    // position: byte index into the document; the message ends in
    // " at line L, char C".
    virtual void parseError(int position, QString const& message);

    // True when the whole document was read without error and no hook
    // refused. Null or empty: false, with no report.
    bool parse(QByteArray const& document);
    // The text as Latin-1 bytes.
    bool parse(QString const& text);

protected:
    // The scanner's steps; data is the start of the stored document and
    // positions are byte indexes into it. getNode reads the tag between
    // '<' (before start) and '>' (at end).
    bool getNode(char const* data, int start, int end);
    bool parseDataInt(char const* data, int position, char const* text);
    bool parsePropertyInt(char const* data, int position, char const* name, char const* value);
    void parseErrorInt(char const* data, int position, QString const& message);

private:
    bool deliverPending(int position, int pieceStart, bool spliced);
    bool deliverText(int position, char const* text, int length);
    bool deliverProperty(int position, char const* name, int nameLength, char const* value, int valueLength);
    bool getProperties(char const* data, int from, int end);
    bool decode(char const* text, int length, QByteArray& into);

    QByteArray _document;
    // Scratch arrays reused from event to event; a hook's copy detaches.
    QByteArray _name;
    QByteArray _propertyName;
    QByteArray _value;
    QByteArray _text;
    QByteArray _spliced;
};

#endif
