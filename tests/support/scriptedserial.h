// A serial port whose converter is a script: every write is recorded and
// answered with the next queued reply, or else with what the responder
// function returns for the packet. A reply arrives in bursts; one Read
// never crosses a burst boundary, like a real port whose read ends at a
// pause.
#ifndef TOVIK_TEST_SCRIPTEDSERIAL_H
#define TOVIK_TEST_SCRIPTEDSERIAL_H

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "bytes.h"
#include "serial/cserialif.h"

namespace tovik {
namespace test {

class ScriptedSerial : public CSerialIF {
public:
    // A burst with error set makes one Read return -1.
    struct Burst {
        Bytes bytes;
        bool error = false;
    };
    typedef std::vector<Burst> Reply;
    typedef std::function<Bytes(const Bytes& packet)> Responder;

    ScriptedSerial() = default;
    explicit ScriptedSerial(Responder responder) : _responder(std::move(responder)) {}

    void EnumeratePorts() override {}
    bool Open(int) override { return _open = true; }
    void Close() override { _open = false; }
    bool IsOpen() const override { return _open; }
    int GetPortCount() override { return 1; }
    int Read(unsigned char* buffer, std::uint32_t length) override;
    bool Write(const unsigned char* buffer, std::int32_t length) override;
    int Flush() override;

    // The reply to the next write, in one burst or in several.
    void QueueReply(const Bytes& bytes) { _replies.push_back(Reply{Burst{bytes, false}}); }
    void QueueReply(const Reply& bursts) { _replies.push_back(bursts); }
    // Bytes already waiting before anything is written.
    void Preload(const Bytes& bytes) { _input.push_back(Burst{bytes, false}); }
    // Bytes still unread, across all arrived bursts.
    size_t Pending() const;

    // Writes fail (nothing is recorded) while set.
    bool _failWrites = false;
    std::vector<Bytes> _writes;
    // 'F' for a flush, 'W' for a write, in call order.
    std::string _events;

private:
    Responder _responder;
    std::deque<Reply> _replies;
    std::deque<Burst> _input;
    bool _open = true;
};

// An answer frame: code, total length (header included), status, payload.
Bytes Response(std::uint8_t code, std::uint8_t status, const Bytes& payload = Bytes());
// The same with a length field that need not match the payload.
Bytes ResponseWithLength(std::uint8_t code, unsigned length, std::uint8_t status, const Bytes& payload = Bytes());
// The answer to a command: its code + 0x40.
Bytes Answer(std::uint8_t command, const Bytes& payload = Bytes(), std::uint8_t status = 0);

} // namespace test
} // namespace tovik

#endif
