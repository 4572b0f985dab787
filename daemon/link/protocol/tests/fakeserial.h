// A scripted serial port: records what is written and answers every write
// with the next scripted reply. A reply arrives in bursts; one Read never
// crosses a burst boundary, like a real port whose read ends at a pause.
#ifndef PORTVANE_TESTS_FAKESERIAL_H
#define PORTVANE_TESTS_FAKESERIAL_H

#include <deque>
#include <string>
#include <vector>

#include "serial/cserialif.h"

typedef std::vector<unsigned char> Bytes;

class FakeSerial : public CSerialIF {
public:
    // A burst with error set makes one Read return -1.
    struct Burst {
        Bytes bytes;
        bool error = false;
    };
    typedef std::vector<Burst> Reply;

    void EnumeratePorts() override {}
    bool Open(int) override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
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

    bool _failWrites = false;
    std::vector<Bytes> _writes;
    // 'F' for a flush, 'W' for a write, in call order.
    std::string _events;

private:
    std::deque<Reply> _replies;
    std::deque<Burst> _input;
};

// A response: code, total length (header included), status, payload.
Bytes Response(unsigned char code, unsigned char status, const Bytes& payload = Bytes());
// The same with a length field that need not match the payload.
Bytes ResponseWithLength(unsigned char code, unsigned length, unsigned char status,
                         const Bytes& payload = Bytes());
Bytes Concat(const Bytes& a, const Bytes& b);

#endif
