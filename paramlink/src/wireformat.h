// The store's wire protocol between processes.
//
// A stream of frames in both directions. Every number is big-endian.
//   frame   = u32 bodyLength, body[bodyLength]     (1 <= bodyLength <= kMaxBody)
//   body    = u8 type, payload
// Payloads by type:
//   1 HELLO    client->server  u32 magic "TVP1", u16 version, i32 configId
//   2 WELCOME  server->client  u8 status; accepted: u64 connection id;
//                              refused: reason text (at most kMaxReasonBytes)
//   3 SET      client->server  u32 tag, u32 paramId, u8 kind, value
//   4 GET      client->server  u32 tag, u32 paramId, u8 kind
//   5 REPLY    server->client  u32 tag, u8 status [, u8 kind, value]
//                              or u32 tag, u8 status 0, reason text
//   6 EVENT    server->client  u32 paramId, u8 kind, i64 sec, i32 usec,
//                              u64 writer, u32 sequence, value
//   7 LIST     client->server  u32 tag
//   8 LISTING  server->client  u32 tag, u8 status, entries
//              entry = u32 paramId, u8 kind, u16 nameLength, name
// kind: 1 integer, 2 string, 3 data. value: an integer is exactly 4 bytes
// (i32); a string or data value is the rest of the body (at most
// kMaxValueBytes, NULs allowed).
// WELCOME status: 1 accepted, 0 the config is not served, 2 the server has
// no room for another client (sent at once, before any HELLO is read, and
// the server then closes), 3 the client speaks another version. A refusal's
// reason is meant for a person. The connection id names the client's writes
// in EVENTs; it is unique among the writers of the serving process.
// A REPLY answers the request with the same tag: for SET status 1 accepted,
// 0 refused (with the reason when the store gave one); for GET status 1
// with the value, 0 refused, 2 the server holds no descriptor for the id.
// A LISTING answers LIST with the server's own table of the config, in its
// order (status 1), or status 0 and no entries when the table does not fit
// in one frame. After HELLO the server sends WELCOME and from then on one
// EVENT per change of the config, in the order of the changes; the EVENT of
// a client's own SET comes before its REPLY. An EVENT names the writer of
// the change (a connection id, or the id of a config of the serving
// process; 0 when unknown) and that writer's sequence number of the write
// (a socket client's SET tag). A client that falls behind may be sent only
// the latest change of each parameter. Before HELLO no frame may be longer
// than a HELLO. Anything malformed closes the connection.
#ifndef PARAMLINK_WIREFORMAT_H
#define PARAMLINK_WIREFORMAT_H

#include <sys/time.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "paramlink/valuekind.h"
#include "storedvalue.h"

namespace paramlink {
namespace wire {

constexpr std::uint32_t kMagic = 0x54565031;
constexpr std::uint16_t kVersion = 2;
constexpr size_t kMaxValueBytes = 1u << 20;
constexpr size_t kMaxBody = kMaxValueBytes + 64;
constexpr size_t kLengthBytes = 4;
constexpr size_t kMaxReasonBytes = 255;

enum class MsgType : std::uint8_t {
    Hello = 1,
    Welcome = 2,
    Set = 3,
    Get = 4,
    Reply = 5,
    Event = 6,
    List = 7,
    Listing = 8
};

enum ReplyStatus : std::uint8_t {
    kRefused = 0,
    kOk = 1,
    kUnknownId = 2
};

enum WelcomeStatus : std::uint8_t {
    kConfigNotServed = 0,
    kWelcome = 1,
    kServerFull = 2,
    kWrongVersion = 3
};

// Body length of a HELLO: the longest frame taken before the greeting.
constexpr size_t kHelloBody = 11;

// One entry of a LISTING.
struct ListedParam {
    std::uint32_t id = 0;
    ValueKind kind = ValueKind::Integer;
    std::string idName;
};

// A decoded message; bytes points into the frame it came from: the value,
// a WELCOME's or a refusal's reason, or a LISTING's entries. origin is an
// EVENT's writer; a WELCOME's connection id is origin.writer.
struct Message : ValueFields {
    MsgType type = MsgType::Hello;
    std::uint32_t tag = 0;
    std::uint32_t magic = 0;
    std::uint16_t version = 0;
    std::int32_t configID = 0;
    std::uint8_t status = 0;
    std::uint32_t paramID = 0;
    bool hasValue = false;
};

// False with a static reason when the body is not a well-formed message.
bool ParseMessage(const std::uint8_t* body, size_t length, Message& out, const char*& error);

// Encoders append one whole frame to out.
void AppendHello(std::string& out, std::int32_t configID);
// An accepted greeting.
void AppendWelcome(std::string& out, std::uint64_t connectionID);
// A refused one (status other than kWelcome), reason cut to kMaxReasonBytes.
void AppendRefusal(std::string& out, std::uint8_t status, const std::string& reason);
void AppendSet(std::string& out, std::uint32_t tag, std::uint32_t id, ValueKind kind,
               std::int32_t intValue, const char* bytes, size_t length);
void AppendGet(std::string& out, std::uint32_t tag, std::uint32_t id, ValueKind kind);
void AppendReply(std::string& out, std::uint32_t tag, std::uint8_t status);
// A refused request with its reason (cut to kMaxReasonBytes).
void AppendRefusedReply(std::string& out, std::uint32_t tag, const std::string& reason);
void AppendReplyValue(std::string& out, std::uint32_t tag, ValueKind kind,
                      std::int32_t intValue, const char* bytes, size_t length);
void AppendEvent(std::string& out, std::uint32_t id, ValueKind kind, const timeval& when, const Origin& origin,
                 std::int32_t intValue, const char* bytes, size_t length);
// Offset of an EVENT's parameter id in its frame.
constexpr size_t kEventIdOffset = kLengthBytes + 1;
void AppendList(std::string& out, std::uint32_t tag);
// A status-0 LISTING when the entries do not fit in one frame. Names longer
// than a u16 go as empty names.
void AppendListing(std::string& out, std::uint32_t tag, const std::vector<ListedParam>& entries);
// The entries of a LISTING (msg.bytes, msg.length); false when malformed.
bool ParseListing(const char* bytes, size_t length, std::vector<ListedParam>& out);

// Receive buffer that cuts a byte stream into frames. The frame length is
// checked against the largest body allowed before the frame is waited for,
// and the buffer grows with the bytes that arrive, never ahead of them for
// a length a peer merely announces.
class FrameBuffer {
public:
    enum class Status { NeedMore, Frame, Error };

    // The buffer grows for a large frame and shrinks back once it is read.
    explicit FrameBuffer(size_t initialSize = kDefaultInitialSize);
    static constexpr size_t kDefaultInitialSize = 64 * 1024;

    // Frames longer than this are an error (default kMaxBody).
    void SetMaxBody(size_t maxBody) { _maxBody = maxBody; }
    // Bytes the buffer holds room for now.
    size_t Capacity() const { return _buf.size(); }
    // Bytes received and not yet handed out as frames.
    size_t Pending() const { return _end - _start; }

    // Room for the next read; never empty unless a bad frame was seen.
    std::uint8_t* WritePtr();
    size_t WriteSpace() const;
    void Commit(size_t n);

    // On Frame, body/length point at the next frame's body, valid until the
    // next call of Next, WritePtr or Commit. On Error, error holds a reason.
    Status Next(const std::uint8_t*& body, size_t& length, std::string& error);
    // Bytes of an unfinished frame are waiting.
    bool HasPartial() const { return _end > _start; }

private:
    size_t _initialSize;
    size_t _maxBody = kMaxBody;
    std::vector<std::uint8_t> _buf;
    size_t _start = 0;
    size_t _end = 0;
};

} // namespace wire
} // namespace paramlink

#endif
