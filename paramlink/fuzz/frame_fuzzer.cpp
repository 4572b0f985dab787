// Feeds arbitrary bytes through the frame buffer in uneven pieces and
// decodes every frame it yields, a listing's entries included. A frame that
// decodes must encode back to the same bytes. Seeds in corpus/ are written
// by paramlink_seed_writer (write_seeds.cpp).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "wireformat.h"

using namespace paramlink::wire;

namespace {

// The frame the encoders make of msg; false when msg holds what no encoder
// writes (another magic or version, a refused listing).
bool Encode(const Message& msg, std::string& out)
{
    switch (msg.type) {
    case MsgType::Hello:
        if (msg.magic != kMagic || msg.version != kVersion)
            return false;
        AppendHello(out, msg.configID);
        return true;
    case MsgType::Welcome:
        if (msg.status == kWelcome)
            AppendWelcome(out, msg.origin.writer);
        else
            AppendRefusal(out, msg.status, std::string(msg.bytes, msg.length));
        return true;
    case MsgType::Set:
        AppendSet(out, msg.tag, msg.paramID, msg.kind, msg.intValue, msg.bytes, msg.length);
        return true;
    case MsgType::Get:
        AppendGet(out, msg.tag, msg.paramID, msg.kind);
        return true;
    case MsgType::Reply:
        if (msg.hasValue)
            AppendReplyValue(out, msg.tag, msg.kind, msg.intValue, msg.bytes, msg.length);
        else if (msg.length)
            AppendRefusedReply(out, msg.tag, std::string(msg.bytes, msg.length));
        else
            AppendReply(out, msg.tag, msg.status);
        return true;
    case MsgType::Event:
        AppendEvent(out, msg.paramID, msg.kind, msg.when, msg.origin, msg.intValue, msg.bytes, msg.length);
        return true;
    case MsgType::List:
        AppendList(out, msg.tag);
        return true;
    case MsgType::Listing: {
        std::vector<ListedParam> entries;
        if (msg.status != kOk || !ParseListing(msg.bytes, msg.length, entries))
            return false;
        AppendListing(out, msg.tag, entries);
        return true;
    }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    // The first byte picks the piece size, so split frames are explored,
    // and the buffer's first size, so its growing is; the stream follows.
    if (size == 0)
        return 0;
    const std::uint8_t mode = data[0];
    ++data;
    --size;
    FrameBuffer buffer((mode & 0x80) ? 16 : 4096);
    // As a server's connection before its greeting takes only short frames.
    if (mode & 0x40)
        buffer.SetMaxBody(kHelloBody);
    size_t pos = 0;
    const size_t piece = (mode % 61) + 1;
    while (pos < size) {
        size_t n = size - pos;
        if (n > piece)
            n = piece;
        if (n > buffer.WriteSpace())
            n = buffer.WriteSpace();
        if (n == 0)
            return 0;
        std::memcpy(buffer.WritePtr(), data + pos, n);
        buffer.Commit(n);
        pos += n;
        for (;;) {
            const std::uint8_t* body = nullptr;
            size_t length = 0;
            std::string error;
            auto status = buffer.Next(body, length, error);
            if (status == FrameBuffer::Status::Error)
                return 0;
            if (status == FrameBuffer::Status::NeedMore)
                break;
            Message msg;
            const char* reason = nullptr;
            if (!ParseMessage(body, length, msg, reason))
                continue;
            std::string encoded;
            if (Encode(msg, encoded)) {
                std::string frame(reinterpret_cast<const char*>(body) - kLengthBytes, kLengthBytes + length);
                if (encoded != frame)
                    __builtin_trap();
            }
            if (msg.length) {
                // Touch every byte the decoder claims is there.
                volatile std::uint8_t sum = 0;
                for (size_t i = 0; i < msg.length; ++i)
                    sum = std::uint8_t(sum + std::uint8_t(msg.bytes[i]));
                (void)sum;
            }
        }
    }
    return 0;
}
