// Feeds arbitrary bytes through the frame buffer in uneven pieces and
// decodes every frame it yields, a listing's entries included.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "wireformat.h"

using namespace paramlink::wire;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    // The first byte picks the piece size, so split frames are explored,
    // and the buffer's first size, so its growing is.
    FrameBuffer buffer(size && (data[0] & 0x80) ? 16 : FrameBuffer::kDefaultInitialSize);
    size_t pos = 0;
    const size_t piece = size ? (data[0] % 61) + 1 : 1;
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
            if (msg.type == MsgType::Listing) {
                std::vector<ListedParam> entries;
                ParseListing(msg.bytes, msg.length, entries);
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
