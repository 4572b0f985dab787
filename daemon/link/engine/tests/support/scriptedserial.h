// A serial port whose converter is a function: every written packet is
// recorded and answered with the bytes the function returns.
#ifndef PORTVANE_ENGINE_SCRIPTEDSERIAL_H
#define PORTVANE_ENGINE_SCRIPTEDSERIAL_H

#include <deque>
#include <functional>
#include <vector>

#include "serial/cserialif.h"

typedef std::vector<unsigned char> ByteVec;

class ScriptedSerial : public CSerialIF {
public:
    typedef std::function<ByteVec(const ByteVec& packet)> Responder;

    explicit ScriptedSerial(Responder responder) : _responder(std::move(responder)) {}

    void EnumeratePorts() override {}
    bool Open(int) override { return _open = true; }
    void Close() override { _open = false; }
    bool IsOpen() const override { return _open; }
    int GetPortCount() override { return 1; }
    int Read(unsigned char* buffer, std::uint32_t length) override;
    bool Write(const unsigned char* buffer, std::int32_t length) override;
    int Flush() override;

    bool _failWrites = false;
    std::vector<ByteVec> _writes;

private:
    Responder _responder;
    std::deque<unsigned char> _input;
    bool _open = true;
};

// Answer frames: [code + 0x40][length][status][payload].
ByteVec Answer(unsigned char command, const ByteVec& payload = ByteVec(), unsigned char status = 0);

#endif
