#include "lumo/lumoxmlparser.h"

#include "lumoxmlparser_p.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "lumo/lumolog.h"

#define PARSER_TRACE(...)                                                                                          \
    do {                                                                                                           \
        if (gDebug.load(std::memory_order_relaxed))                                                                \
            lumoLogOutput(4, QStringLiteral("lumoxmlparser"), __LINE__, __VA_ARGS__);                             \
    } while (0)

namespace {

std::atomic<bool> gDebug{getenv("LUMO_LOG_DEBUG_LUMOXMLPARSER") != nullptr};

enum : unsigned char { kWhitespace = 1, kNameChar = 2, kScanStop = 4 };

struct CharClasses {
    unsigned char of[256] = {};
    constexpr CharClasses()
    {
        for (char c : {'\t', '\n', '\r', ' '})
            of[static_cast<unsigned char>(c)] |= kWhitespace;
        for (int c = '0'; c <= ':'; ++c)
            of[c] |= kNameChar;
        for (int c = 'A'; c <= 'Z'; ++c)
            of[c] |= kNameChar;
        for (int c = 'a'; c <= 'z'; ++c)
            of[c] |= kNameChar;
        for (char c : {'-', '.', '_'})
            of[static_cast<unsigned char>(c)] |= kNameChar;
        for (char c : {'\'', '"', '<', '>'})
            of[static_cast<unsigned char>(c)] |= kScanStop;
    }
};
constexpr CharClasses kClasses;

inline bool isWhitespace(char c)
{
    return kClasses.of[static_cast<unsigned char>(c)] & kWhitespace;
}

inline bool isNameChar(char c)
{
    return kClasses.of[static_cast<unsigned char>(c)] & kNameChar;
}

inline bool isQuote(char c)
{
    return c == '\'' || c == '"';
}

// The byte an entity name stands for, or 0 for an unknown name.
char entity(char const* name, int length)
{
    switch (length) {
    case 2:
        if (name[1] == 't' && (name[0] == 'l' || name[0] == 'g'))
            return name[0] == 'l' ? '<' : '>';
        return 0;
    case 3:
        return memcmp(name, "amp", 3) == 0 ? '&' : 0;
    case 4:
        if (memcmp(name, "apos", 4) == 0)
            return '\'';
        return memcmp(name, "quot", 4) == 0 ? '"' : 0;
    default:
        return 0;
    }
}

void assign(QByteArray& scratch, char const* bytes, int length)
{
    scratch.resize(length);
    if (length > 0)
        memcpy(scratch.data(), bytes, size_t(length));
}

// The start of the document for the property trace; the log cuts it anyway.
QByteArray traceHead(char const* data, int length)
{
    return QByteArray(data, qMin(length, 511));
}

} // namespace

LumoXMLParser::LumoXMLParser() = default;

LumoXMLParser::~LumoXMLParser() = default;

bool LumoXMLParser::parseData(QByteArray const&)
{
    return true;
}

bool LumoXMLParser::parseNodeOpen(QByteArray const&)
{
    return true;
}

bool LumoXMLParser::parseNodeClose(QByteArray const&)
{
    return true;
}

bool LumoXMLParser::parseProperty(QByteArray const&, QByteArray const&)
{
    return true;
}

void LumoXMLParser::parseError(int position, QString const& message)
{
    const char* data = _document.constData();
    const QString document = QString::fromLatin1(data, int(qstrnlen(data, uint(_document.size()))));
    LumoLogStream(LumoLog::defaultLog(), QStringLiteral("lumoxmlparser"), __LINE__, 1)
        << QStringLiteral("PARSE ERROR [%1]: %2\n%3\n").arg(QString::number(position), message, document);
    if (getenv("LumoXML_ABORTONPARSE"))
        abort();
}

bool LumoXMLParser::parse(QString const& text)
{
    return parse(text.toLatin1());
}

bool LumoXMLParser::parse(QByteArray const& document)
{
    if (document.isNull())
        return false;
    _document = document;
    if (document.isEmpty())
        return false;
    char const* const data = _document.constData();
    const int length = _document.size();
    PARSER_TRACE("getNodes: %p %d\n", static_cast<void const*>(data), length);

    int open = -1;      // just after the '<' of the tag being read
    int textStart = -1; // just after the '>' of the last complete tag
    // Comments and processing instructions are cut out of a text run: the
    // run's earlier pieces wait in _spliced, the current piece starts at
    // pieceStart.
    int pieceStart = -1;
    bool spliced = false;
    char quote = 0;
    bool skipping = false; // inside <!...> or <?...>
    for (int i = 0; i < length; ++i) {
        while (i < length && !(kClasses.of[static_cast<unsigned char>(data[i])] & kScanStop))
            ++i;
        if (i == length)
            break;
        const char c = data[i];
        if (isQuote(c)) {
            if (skipping)
                continue;
            if (!quote)
                quote = c;
            else if (c == quote)
                quote = 0;
        } else if (c == '<') {
            if (quote || skipping)
                continue;
            if (i + 1 < length && (data[i + 1] == '!' || data[i + 1] == '?')) {
                skipping = true;
                if (textStart >= 0) {
                    if (!spliced)
                        _spliced.clear();
                    _spliced.append(data + pieceStart, i - pieceStart);
                    spliced = true;
                }
                continue;
            }
            if (textStart < 0 && i + 1 == length) {
                parseErrorInt(data, length, QStringLiteral("reached the end of data and node did not close"));
                return false;
            }
            if (textStart >= 0 && textStart < i && !deliverPending(i, pieceStart, spliced))
                return false;
            open = i + 1;
        } else { // '>'
            if (quote)
                continue;
            if (skipping) {
                if ((i >= 2 && data[i - 1] == '-' && data[i - 2] == '-') || data[i - 1] == '?') {
                    skipping = false;
                    pieceStart = i + 1;
                }
                continue;
            }
            if (open < 0) {
                parseErrorInt(data, i + 1, QStringLiteral("node close found before open"));
                return false;
            }
            if (!getNode(data, open, i))
                return false;
            textStart = pieceStart = i + 1;
            spliced = false;
            open = -1;
        }
    }
    if (open >= 0) {
        parseErrorInt(data, length, QStringLiteral("reached the end of data and node did not close"));
        return false;
    }
    return true;
}

bool LumoXMLParser::getNode(char const* data, int start, int end)
{
    PARSER_TRACE("getNode: %p %d %d\n", static_cast<void const*>(data), start, end);
    if (start < end && data[start] == '/') {
        if (start + 1 == end) {
            parseErrorInt(data, start + 1, QStringLiteral("close node has no name"));
            return false;
        }
        for (int i = start + 1; i < end; ++i) {
            if (!isNameChar(data[i])) {
                parseErrorInt(data, i, QStringLiteral("illegal character in close node"));
                return false;
            }
        }
        assign(_name, data + start + 1, end - start - 1);
        return parseNodeClose(_name);
    }
    if (start == end) {
        parseErrorInt(data, start, QStringLiteral("node does not have a name"));
        return false;
    }
    if (isWhitespace(data[start])) {
        parseErrorInt(data, start, QStringLiteral("whitespace before start of node name"));
        return false;
    }
    int i = start;
    while (i < end && isNameChar(data[i]))
        ++i;
    if (i < end && !isWhitespace(data[i]) && data[i] != '/') {
        parseErrorInt(data, i, QStringLiteral("illegal character in node name"));
        return false;
    }
    assign(_name, data + start, i - start);
    if (!parseNodeOpen(_name))
        return false;
    PARSER_TRACE("getProps: %p %d %d\n", static_cast<void const*>(data), i, end);
    return getProperties(data, i, end);
}

// The properties after the element name, up to the end of the tag or a '/'.
bool LumoXMLParser::getProperties(char const* data, int i, int end)
{
    enum State { Name, AfterName, BeforeValue, Value };
    while (i < end) {
        const char c = data[i];
        if (isWhitespace(c)) {
            ++i;
            continue;
        }
        if (c == '/')
            return parseNodeClose(_name);
        if (!isNameChar(c)) {
            parseErrorInt(data, i, QStringLiteral("illegal character while searching for node properties"));
            return false;
        }
        PARSER_TRACE("getProp: %s %d %d\n", traceHead(data, _document.size()).constData(), i, end);
        const int nameStart = i;
        int nameEnd = i;
        int valueStart = 0;
        char valueQuote = 0;
        State state = Name;
        bool complete = false;
        for (; i < end && !complete; ++i) {
            const char b = data[i];
            switch (state) {
            case Name:
                if (isNameChar(b)) {
                    continue;
                } else if (isWhitespace(b) || b == '=') {
                    nameEnd = i;
                    state = b == '=' ? BeforeValue : AfterName;
                } else {
                    parseErrorInt(data, i, QStringLiteral("illegal character in property name"));
                    return false;
                }
                break;
            case AfterName:
                if (b == '=') {
                    state = BeforeValue;
                } else if (!isWhitespace(b)) {
                    parseErrorInt(data, i, QStringLiteral("illegal character between property name and ="));
                    return false;
                }
                break;
            case BeforeValue:
                if (isQuote(b)) {
                    valueQuote = b;
                    valueStart = i + 1;
                    state = Value;
                } else if (!isWhitespace(b)) {
                    parseErrorInt(data, i, QStringLiteral("illegal character between property = and value"));
                    return false;
                }
                break;
            case Value: {
                char const* close = static_cast<char const*>(memchr(data + i, valueQuote, size_t(end - i)));
                if (!close) {
                    i = end - 1;
                    break;
                }
                i = int(close - data);
                complete = true;
                break;
            }
            }
        }
        if (!complete) {
            parseErrorInt(data, end, QStringLiteral("mangled property"));
            return false;
        }
        // i is just after the closing quote.
        if (!deliverProperty(i, data + nameStart, nameEnd - nameStart, data + valueStart, i - 1 - valueStart))
            return false;
    }
    return true;
}

bool LumoXMLParser::decode(char const* text, int length, QByteArray& into)
{
    char const* amp = static_cast<char const*>(memchr(text, '&', size_t(length)));
    if (!amp) {
        assign(into, text, length);
        return true;
    }
    into.resize(length);
    char* out = into.data();
    int written = 0;
    int i = 0;
    while (amp) {
        const int at = int(amp - text);
        memcpy(out + written, text + i, size_t(at - i));
        written += at - i;
        // The ';' stands at most seven bytes after the '&'.
        const int limit = qMin(length, at + 8);
        int semicolon = at + 1;
        while (semicolon < limit && text[semicolon] != ';')
            ++semicolon;
        if (semicolon >= limit)
            return false;
        const char byte = entity(text + at + 1, semicolon - at - 1);
        if (!byte)
            return false;
        out[written++] = byte;
        i = semicolon + 1;
        amp = static_cast<char const*>(memchr(text + i, '&', size_t(length - i)));
    }
    memcpy(out + written, text + i, size_t(length - i));
    written += length - i;
    into.resize(written);
    return true;
}

// The text run that ends at the '<' at position, without its leading
// whitespace; nothing when that is all it holds.
bool LumoXMLParser::deliverPending(int position, int pieceStart, bool spliced)
{
    char const* data = _document.constData();
    char const* text = data + pieceStart;
    int length = position - pieceStart;
    if (spliced) {
        _spliced.append(text, length);
        text = _spliced.constData();
        length = _spliced.size();
    }
    int from = 0;
    while (from < length && isWhitespace(text[from]))
        ++from;
    const bool ok = from == length || deliverText(position, text + from, length - from);
    if (spliced)
        _spliced.chop(position - pieceStart);
    return ok;
}

bool LumoXMLParser::deliverText(int position, char const* text, int length)
{
    if (!decode(text, length, _text)) {
        parseErrorInt(_document.constData(), position, QStringLiteral("data parse error"));
        return false;
    }
    return parseData(_text);
}

bool LumoXMLParser::deliverProperty(int position, char const* name, int nameLength, char const* value,
                                    int valueLength)
{
    if (!decode(value, valueLength, _value)) {
        parseErrorInt(_document.constData(), position, QStringLiteral("property parse error"));
        return false;
    }
    assign(_propertyName, name, nameLength);
    return parseProperty(_propertyName, _value);
}

bool LumoXMLParser::parseDataInt(char const*, int position, char const* text)
{
    return deliverText(position, text, int(strlen(text)));
}

bool LumoXMLParser::parsePropertyInt(char const*, int position, char const* name, char const* value)
{
    return deliverProperty(position, name, int(strlen(name)), value, int(strlen(value)));
}

void LumoXMLParser::parseErrorInt(char const* data, int position, QString const& message)
{
    // Lines count from 1; char is the distance from the last line feed, or
    // the position itself on the first line.
    int line = 1;
    int lastLineFeed = -1;
    for (int i = 0; i < position && data[i]; ++i) {
        if (data[i] == '\n') {
            ++line;
            lastLineFeed = i;
        }
    }
    const int column = lastLineFeed < 0 ? position : position - lastLineFeed;
    parseError(position, message + QString::asprintf(" at line %d, char %d", line, column));
}

// --- seams ----------------------------------------------------------------------

bool lumoXMLParserDebug()
{
    return gDebug.load();
}

void lumoXMLParserSetDebug(bool on)
{
    gDebug = on;
}
