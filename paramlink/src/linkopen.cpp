#include "linkopen.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>

#include "netutil.h"

namespace paramlink {

namespace {

using Clock = std::chrono::steady_clock;

// Whether the store's answer to the greeting lets the link in (with its
// connection id), else why not.
bool welcomed(const std::uint8_t* body, size_t length, const StoreUrl& url, const std::string& where,
              std::uint64_t& connectionID, std::string& error)
{
    wire::Message msg;
    const char* reason = nullptr;
    if (!wire::ParseMessage(body, length, msg, reason) || msg.type != wire::MsgType::Welcome) {
        error = where + " sent a bad greeting";
        return false;
    }
    if (msg.status != wire::kWelcome) {
        const std::string text(msg.bytes, msg.length);
        error = where + " refused the connection to config " + std::to_string(url.configID) + ": " +
                (text.empty() ? std::string("no reason given") : text);
        return false;
    }
    connectionID = msg.origin.writer;
    return true;
}

} // namespace

int OpenLink(const StoreUrl& url, wire::FrameBuffer& in, std::uint64_t& connectionID, std::string& error)
{
    const std::string where = url.host + ":" + std::to_string(url.port);
    std::string why;
    const int fd = ConnectTcp(url.host, url.port, kConnectTimeoutMs, why);
    if (fd < 0) {
        error = "cannot connect to " + where + ": " + why;
        return -1;
    }
    std::string hello;
    wire::AppendHello(hello, url.configID);
    // A server that refuses every newcomer may have answered and closed
    // already; its answer is still read below.
    const bool sent = SendAll(fd, hello.data(), hello.size(), kReplyTimeoutMs);
    const auto deadline = Clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    for (;;) {
        const std::uint8_t* body = nullptr;
        size_t length = 0;
        auto status = in.Next(body, length, why);
        if (status == wire::FrameBuffer::Status::Error) {
            error = where + " sent a bad greeting: " + why;
            break;
        }
        if (status == wire::FrameBuffer::Status::Frame) {
            std::uint64_t id = 0;
            if (!welcomed(body, length, url, where, id, error))
                break;
            if (!sent) {
                error = "cannot greet " + where;
                break;
            }
            connectionID = id;
            timeval slice{0, kReadSliceMs * 1000};
            setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &slice, sizeof slice);
            return fd;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || !WaitReadable(fd, int(left))) {
            error = sent ? where + " did not answer" : "cannot greet " + where;
            break;
        }
        const ssize_t n = recv(fd, in.WritePtr(), in.WriteSpace(), 0);
        if (n <= 0) {
            error = where + " closed the connection";
            break;
        }
        in.Commit(size_t(n));
    }
    close(fd);
    return -1;
}

} // namespace paramlink
