// Writes the seed corpus of paramlink_frame_fuzzer: frames of every message
// type and value kind, made by the store's own encoders, each behind the
// target's mode byte (piece size and first buffer size).
//
//   paramlink_seed_writer <corpus folder>
#include <sys/time.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "wireformat.h"

using namespace paramlink;
using namespace paramlink::wire;

namespace {

// Writes mode and the frames append makes to folder/name.
template <typename Append>
bool Write(const std::string& folder, const char* name, std::uint8_t mode, Append append)
{
    std::string frames(1, char(mode));
    append(frames);
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out << frames;
    if (!out)
        std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), name);
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const std::string text = "eParamID_SystemName";
    const std::string data("\x00\x01\xFF\x00", 4);
    const timeval when{1700000000, 999999};
    Origin origin;
    origin.writer = 0x0102030405060708ull;
    origin.sequence = 77;
    const std::vector<ListedParam> listing = {
        {0x0A000001, ValueKind::Integer, "eParamID_DeviceCount"},
        {0x0A000002, ValueKind::String, "eParamID_SystemName"},
        {0x0A000003, ValueKind::Data, ""},
    };
    using S = std::string;
    const bool ok =
        Write(dir, "hello", 0, [](S& o) { AppendHello(o, 3); })
        && Write(dir, "welcome", 0x85, [](S& o) { AppendWelcome(o, 42); })
        && Write(dir, "welcome_refused", 7, [](S& o) { AppendRefusal(o, kConfigNotServed, "config 12 is not served"); })
        && Write(dir, "welcome_wrong_version", 0x09,
                 [](S& o) { AppendRefusal(o, kWrongVersion, "the server speaks version 2"); })
        && Write(dir, "hello_short_frames_only", 0x40, [](S& o) { AppendHello(o, 3); })
        && Write(dir, "too_long_before_greeting", 0x41,
                 [&](S& o) { AppendSet(o, 7, 0x0A000002, ValueKind::String, 0, text.data(), text.size()); })
        && Write(dir, "set_integer", 1, [](S& o) { AppendSet(o, 7, 0x0A000001, ValueKind::Integer, -5, nullptr, 0); })
        && Write(dir, "set_string", 60,
                 [&](S& o) { AppendSet(o, 8, 0x0A000002, ValueKind::String, 0, text.data(), text.size()); })
        && Write(dir, "set_data", 0x83,
                 [&](S& o) { AppendSet(o, 9, 0x0A000003, ValueKind::Data, 0, data.data(), data.size()); })
        && Write(dir, "get", 2, [](S& o) { AppendGet(o, 10, 0x0A000002, ValueKind::String); })
        && Write(dir, "reply_status", 3, [](S& o) { AppendReply(o, 10, kUnknownId); })
        && Write(dir, "reply_refused_reason", 0x13,
                 [](S& o) { AppendRefusedReply(o, 14, "a value of 30 bytes is too long (at most 20)"); })
        && Write(dir, "reply_value", 0x90,
                 [&](S& o) { AppendReplyValue(o, 11, ValueKind::String, 0, text.data(), text.size()); })
        && Write(dir, "event_integer", 4,
                 [&](S& o) { AppendEvent(o, 0x0A000001, ValueKind::Integer, when, origin, 42, nullptr, 0); })
        && Write(dir, "event_data", 0xA0,
                 [&](S& o) { AppendEvent(o, 0x0A000003, ValueKind::Data, when, origin, 0, data.data(), data.size()); })
        && Write(dir, "list", 5, [](S& o) { AppendList(o, 12); })
        && Write(dir, "listing", 0x81, [&](S& o) { AppendListing(o, 12, listing); })
        && Write(dir, "listing_empty", 6, [](S& o) { AppendListing(o, 13, {}); })
        // A client's session as the server reads it, and the server's answers.
        && Write(dir, "client_session", 16,
                 [&](S& o) {
                     AppendHello(o, 1);
                     AppendList(o, 1);
                     AppendGet(o, 2, 0x0A000001, ValueKind::Integer);
                     AppendSet(o, 3, 0x0A000002, ValueKind::String, 0, text.data(), text.size());
                 })
        && Write(dir, "server_session", 0xBD, [&](S& o) {
               AppendWelcome(o, 9);
               AppendListing(o, 1, listing);
               AppendReplyValue(o, 2, ValueKind::Integer, 4, nullptr, 0);
               AppendEvent(o, 0x0A000002, ValueKind::String, when, origin, 0, text.data(), text.size());
               AppendReply(o, 3, kOk);
           });
    return ok ? 0 : 1;
}
