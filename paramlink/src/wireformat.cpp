#include "wireformat.h"

#include <algorithm>
#include <cstring>

namespace paramlink {
namespace wire {

namespace {

void put8(std::string& out, std::uint8_t v) { out.push_back(char(v)); }

void put16(std::string& out, std::uint16_t v)
{
    char b[2] = {char(v >> 8), char(v)};
    out.append(b, 2);
}

void put32(std::string& out, std::uint32_t v)
{
    char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(b, 4);
}

void put64(std::string& out, std::uint64_t v)
{
    put32(out, std::uint32_t(v >> 32));
    put32(out, std::uint32_t(v));
}

std::uint16_t get16(const std::uint8_t* p) { return std::uint16_t((p[0] << 8) | p[1]); }

std::uint32_t get32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

std::uint64_t get64(const std::uint8_t* p) { return (std::uint64_t(get32(p)) << 32) | get32(p + 4); }

size_t valueSize(ValueKind kind, size_t length) { return kind == ValueKind::Integer ? 4 : length; }

// Starts a frame whose body (type byte included) will be bodyLength long.
void begin(std::string& out, MsgType type, size_t bodyLength)
{
    put32(out, std::uint32_t(bodyLength));
    put8(out, std::uint8_t(type));
}

void putValue(std::string& out, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length)
{
    if (kind == ValueKind::Integer)
        put32(out, std::uint32_t(intValue));
    else if (length)
        out.append(bytes, length);
}

bool validKind(std::uint8_t k) { return k >= 1 && k <= 3; }

// An EVENT's payload before its value: id, kind, seconds, microseconds,
// writer and sequence.
const size_t kEventHead = 4 + 1 + 8 + 4 + 8 + 4;

// A value kind byte.
bool parseKind(std::uint8_t k, Message& out, const char*& error)
{
    if (!validKind(k)) {
        error = "unknown value kind";
        return false;
    }
    out.kind = ValueKind(k);
    return true;
}

// The value of out.kind: the rest of a body.
bool parseValueBytes(const std::uint8_t* p, size_t left, Message& out, const char*& error)
{
    out.hasValue = true;
    if (out.kind == ValueKind::Integer) {
        if (left != 4) {
            error = "integer value is not 4 bytes";
            return false;
        }
        out.intValue = std::int32_t(get32(p));
        return true;
    }
    if (left > kMaxValueBytes) {
        error = "value too long";
        return false;
    }
    out.bytes = reinterpret_cast<const char*>(p);
    out.length = left;
    return true;
}

// Kind and value: the rest of a body.
bool parseValue(const std::uint8_t* p, size_t left, Message& out, const char*& error)
{
    if (left < 1) {
        error = "value kind missing";
        return false;
    }
    return parseKind(p[0], out, error) && parseValueBytes(p + 1, left - 1, out, error);
}

// One parser per message type, each given the payload after the type byte.
bool parseHello(const std::uint8_t* p, size_t left, Message& out, const char*& error)
{
    if (left != 10) {
        error = "bad HELLO length";
        return false;
    }
    out.magic = get32(p);
    out.version = get16(p + 4);
    out.configID = std::int32_t(get32(p + 6));
    return true;
}

bool parseWelcome(const std::uint8_t* p, size_t left, Message& out, const char*& error)
{
    if (left < 1 || left > 1 + kMaxReasonBytes) {
        error = "bad WELCOME length";
        return false;
    }
    out.status = p[0];
    if (out.status == kWelcome) {
        if (left != 9) {
            error = "bad WELCOME length";
            return false;
        }
        out.origin.writer = get64(p + 1);
        return true;
    }
    out.bytes = reinterpret_cast<const char*>(p + 1);
    out.length = left - 1;
    return true;
}

bool parseSet(const std::uint8_t* p, size_t left, Message& out, const char*& error)
{
    if (left < 8) {
        error = "short SET";
        return false;
    }
    out.tag = get32(p);
    out.paramID = get32(p + 4);
    return parseValue(p + 8, left - 8, out, error);
}

bool parseGet(const std::uint8_t* p, size_t left, Message& out, const char*& error)
{
    if (left != 9) {
        error = "bad GET length";
        return false;
    }
    out.tag = get32(p);
    out.paramID = get32(p + 4);
    return parseKind(p[8], out, error);
}

bool parseReply(const std::uint8_t* p, size_t left, Message& out, const char*& error)
{
    if (left < 5) {
        error = "short REPLY";
        return false;
    }
    out.tag = get32(p);
    out.status = p[4];
    if (left == 5)
        return true;
    if (out.status == kRefused) {
        // The reason for a refusal.
        if (left - 5 > kMaxReasonBytes) {
            error = "over-long reason in a REPLY";
            return false;
        }
        out.bytes = reinterpret_cast<const char*>(p + 5);
        out.length = left - 5;
        return true;
    }
    if (out.status != kOk) {
        error = "value in a REPLY that is not OK";
        return false;
    }
    return parseValue(p + 5, left - 5, out, error);
}

bool parseEvent(const std::uint8_t* p, size_t left, Message& out, const char*& error)
{
    // id, kind, seconds, microseconds, writer, sequence, then the value.
    if (left < kEventHead) {
        error = "short EVENT";
        return false;
    }
    out.paramID = get32(p);
    const std::int64_t sec = std::int64_t(get64(p + 5));
    const std::int32_t usec = std::int32_t(get32(p + 13));
    if (usec < 0 || usec > 999999) {
        error = "bad EVENT time";
        return false;
    }
    out.when.tv_sec = time_t(sec);
    out.when.tv_usec = suseconds_t(usec);
    out.origin.writer = get64(p + 17);
    out.origin.sequence = get32(p + 25);
    return parseKind(p[4], out, error) && parseValueBytes(p + kEventHead, left - kEventHead, out, error);
}

bool parseList(const std::uint8_t* p, size_t left, Message& out, const char*& error)
{
    if (left != 4) {
        error = "bad LIST length";
        return false;
    }
    out.tag = get32(p);
    return true;
}

bool parseListing(const std::uint8_t* p, size_t left, Message& out, const char*& error)
{
    if (left < 5) {
        error = "short LISTING";
        return false;
    }
    out.tag = get32(p);
    out.status = p[4];
    out.bytes = reinterpret_cast<const char*>(p + 5);
    out.length = left - 5;
    if (out.status != kOk && out.length) {
        error = "entries in a LISTING that is not OK";
        return false;
    }
    return true;
}

using PayloadParser = bool (*)(const std::uint8_t*, size_t, Message&, const char*&);

struct MessageRow {
    MsgType type;
    PayloadParser parse;
};

const MessageRow kMessages[] = {
    {MsgType::Hello, parseHello},     {MsgType::Welcome, parseWelcome}, {MsgType::Set, parseSet},
    {MsgType::Get, parseGet},         {MsgType::Reply, parseReply},     {MsgType::Event, parseEvent},
    {MsgType::List, parseList},       {MsgType::Listing, parseListing},
};

} // namespace

bool ParseMessage(const std::uint8_t* body, size_t length, Message& out, const char*& error)
{
    out = Message();
    if (!body || length < 1) {
        error = "empty frame";
        return false;
    }
    for (const MessageRow& row : kMessages) {
        if (std::uint8_t(row.type) == body[0]) {
            out.type = row.type;
            return row.parse(body + 1, length - 1, out, error);
        }
    }
    error = "unknown message type";
    return false;
}

bool ParseListing(const char* bytes, size_t length, std::vector<ListedParam>& out)
{
    out.clear();
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes);
    // Each entry takes at least 7 bytes, so the count is bounded by the frame.
    while (length > 0) {
        if (length < 7 || !validKind(p[4]))
            return false;
        const size_t nameLength = get16(p + 5);
        if (length - 7 < nameLength)
            return false;
        ListedParam entry;
        entry.id = get32(p);
        entry.kind = ValueKind(p[4]);
        entry.idName.assign(reinterpret_cast<const char*>(p + 7), nameLength);
        out.push_back(std::move(entry));
        p += 7 + nameLength;
        length -= 7 + nameLength;
    }
    return true;
}

void AppendHello(std::string& out, std::int32_t configID)
{
    begin(out, MsgType::Hello, 11);
    put32(out, kMagic);
    put16(out, kVersion);
    put32(out, std::uint32_t(configID));
}

void AppendWelcome(std::string& out, std::uint64_t connectionID)
{
    begin(out, MsgType::Welcome, 2 + 8);
    put8(out, kWelcome);
    put64(out, connectionID);
}

void AppendRefusal(std::string& out, std::uint8_t status, const std::string& reason)
{
    const size_t length = std::min(reason.size(), kMaxReasonBytes);
    begin(out, MsgType::Welcome, 2 + length);
    put8(out, status);
    out.append(reason, 0, length);
}

void AppendSet(std::string& out, std::uint32_t tag, std::uint32_t id, ValueKind kind,
               std::int32_t intValue, const char* bytes, size_t length)
{
    begin(out, MsgType::Set, 1 + 4 + 4 + 1 + valueSize(kind, length));
    put32(out, tag);
    put32(out, id);
    put8(out, std::uint8_t(kind));
    putValue(out, kind, intValue, bytes, length);
}

void AppendGet(std::string& out, std::uint32_t tag, std::uint32_t id, ValueKind kind)
{
    begin(out, MsgType::Get, 1 + 4 + 4 + 1);
    put32(out, tag);
    put32(out, id);
    put8(out, std::uint8_t(kind));
}

void AppendReply(std::string& out, std::uint32_t tag, std::uint8_t status)
{
    begin(out, MsgType::Reply, 1 + 4 + 1);
    put32(out, tag);
    put8(out, status);
}

void AppendRefusedReply(std::string& out, std::uint32_t tag, const std::string& reason)
{
    const size_t length = std::min(reason.size(), kMaxReasonBytes);
    begin(out, MsgType::Reply, 1 + 4 + 1 + length);
    put32(out, tag);
    put8(out, kRefused);
    out.append(reason, 0, length);
}

void AppendReplyValue(std::string& out, std::uint32_t tag, ValueKind kind, std::int32_t intValue,
                      const char* bytes, size_t length)
{
    begin(out, MsgType::Reply, 1 + 4 + 1 + 1 + valueSize(kind, length));
    put32(out, tag);
    put8(out, kOk);
    put8(out, std::uint8_t(kind));
    putValue(out, kind, intValue, bytes, length);
}

void AppendEvent(std::string& out, std::uint32_t id, ValueKind kind, const timeval& when, const Origin& origin,
                 std::int32_t intValue, const char* bytes, size_t length)
{
    begin(out, MsgType::Event, 1 + kEventHead + valueSize(kind, length));
    put32(out, id);
    put8(out, std::uint8_t(kind));
    put64(out, std::uint64_t(std::int64_t(when.tv_sec)));
    put32(out, std::uint32_t(std::int32_t(when.tv_usec)));
    put64(out, origin.writer);
    put32(out, origin.sequence);
    putValue(out, kind, intValue, bytes, length);
}

void AppendList(std::string& out, std::uint32_t tag)
{
    begin(out, MsgType::List, 1 + 4);
    put32(out, tag);
}

void AppendListing(std::string& out, std::uint32_t tag, const std::vector<ListedParam>& entries)
{
    size_t body = 1 + 4 + 1;
    for (const auto& e : entries)
        body += 7 + (e.idName.size() <= 0xffff ? e.idName.size() : 0);
    if (body > kMaxBody) {
        begin(out, MsgType::Listing, 1 + 4 + 1);
        put32(out, tag);
        put8(out, kRefused);
        return;
    }
    begin(out, MsgType::Listing, body);
    put32(out, tag);
    put8(out, kOk);
    for (const auto& e : entries) {
        const bool fits = e.idName.size() <= 0xffff;
        put32(out, e.id);
        put8(out, std::uint8_t(e.kind));
        put16(out, std::uint16_t(fits ? e.idName.size() : 0));
        if (fits)
            out.append(e.idName);
    }
}

FrameBuffer::FrameBuffer(size_t initialSize)
    : _initialSize(initialSize < kLengthBytes + 1 ? kLengthBytes + 1 : initialSize), _buf(_initialSize)
{
}

std::uint8_t* FrameBuffer::WritePtr() { return _buf.data() + _end; }

size_t FrameBuffer::WriteSpace() const { return _buf.size() - _end; }

void FrameBuffer::Commit(size_t n)
{
    if (n > WriteSpace())
        n = WriteSpace();
    _end += n;
}

FrameBuffer::Status FrameBuffer::Next(const std::uint8_t*& body, size_t& length, std::string& error)
{
    const size_t avail = _end - _start;
    size_t total = 0;
    if (avail >= kLengthBytes) {
        const std::uint32_t bodyLength = get32(_buf.data() + _start);
        if (bodyLength == 0 || bodyLength > _maxBody) {
            error = "frame length " + std::to_string(bodyLength) + " outside 1.." + std::to_string(_maxBody);
            return Status::Error;
        }
        total = kLengthBytes + bodyLength;
        if (avail >= total) {
            body = _buf.data() + _start + kLengthBytes;
            length = bodyLength;
            _start += total;
            return Status::Frame;
        }
    }
    if (avail == 0) {
        _start = _end = 0;
        // Give back the room a large frame needed.
        if (_buf.size() > _initialSize) {
            _buf.resize(_initialSize);
            _buf.shrink_to_fit();
        }
        return Status::NeedMore;
    }
    // Move the unfinished frame to the front so the rest fits after it.
    if (_start > 0) {
        std::memmove(_buf.data(), _buf.data() + _start, avail);
        _start = 0;
        _end = avail;
    }
    // Full of an unfinished frame: grow by what has arrived (doubling),
    // never past the frame, so room follows received bytes.
    if (_end == _buf.size() && total > _buf.size())
        _buf.resize(std::min(total, _buf.size() * 2));
    return Status::NeedMore;
}

} // namespace wire
} // namespace paramlink
