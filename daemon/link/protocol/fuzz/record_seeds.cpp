// Records the seed corpora of the protocol target and of the simulator's
// frame target: every operation of commands.cpp runs against the simulated
// converter's model, and what went over the line is written out.
//
//   protocol_seed_recorder <protocol corpus> <simulator corpus>
//
// A protocol seed is the operation, its argument and the converter's
// replies in the fuzz target's input form (one per distinct conversation);
// a simulator seed is the frames the operation sent with argument 16.
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <QtGlobal>

#include "commands.h"
#include "convsim/convertermodel.h"
#include "convsim/framesplitter.h"
#include "convsim/personality.h"
#include "protocol/ccommprotocol.h"
#include "serial/cserialif.h"

namespace {

using convsim::Bytes;

// A serial port whose far end is the simulator's converter model.
class ModelPort : public CSerialIF {
public:
    explicit ModelPort(const convsim::Personality& personality) : _model(personality) {}

    void EnumeratePorts() override {}
    bool Open(int) override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    int GetPortCount() override { return 1; }
    int Flush() override
    {
        _input.clear();
        return 0;
    }
    int Read(unsigned char* buffer, std::uint32_t length) override
    {
        std::uint32_t n = 0;
        for (; n < length && !_input.empty(); ++n) {
            buffer[n] = _input.front();
            _input.pop_front();
        }
        return int(n);
    }
    bool Write(const unsigned char* buffer, std::int32_t length) override
    {
        _sent.insert(_sent.end(), buffer, buffer + length);
        _splitter.Feed(buffer, size_t(length), 0);
        Bytes frame;
        Bytes reply;
        while (_splitter.Next(frame, 0)) {
            const Bytes answer = _model.Handle(frame.data(), frame.size());
            reply.insert(reply.end(), answer.begin(), answer.end());
        }
        _input.insert(_input.end(), reply.begin(), reply.end());
        _replies.push_back(reply);
        return true;
    }

    Bytes _sent;
    std::vector<Bytes> _replies;

private:
    convsim::ConverterModel _model;
    convsim::FrameSplitter _splitter;
    std::deque<unsigned char> _input;
};

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

bool WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <protocol corpus> <simulator corpus>\n", argv[0]);
        return 2;
    }
    qInstallMessageHandler(Quiet);
    // Sizes that fit the scaler's 41-byte block and split transfers in chunks.
    const std::uint8_t kArgs[] = {3, 16};
    std::set<Bytes> framesSeen;
    std::set<std::vector<Bytes>> repliesSeen;
    for (int which = 0; which < kFuzzCommandCount; ++which) {
        for (const std::uint8_t arg : kArgs) {
            ModelPort port(convsim::Personality::ForType(19));
            CCommProtocol protocol(&port, nullptr);
            RunCommand(protocol, std::uint8_t(which), arg);

            Bytes seed{std::uint8_t(which), arg};
            for (const Bytes& reply : port._replies) {
                const size_t n = reply.size() < 0x7F ? reply.size() : 0x7F;
                seed.push_back(std::uint8_t(n));
                seed.insert(seed.end(), reply.begin(), reply.begin() + long(n));
            }
            char name[64];
            std::snprintf(name, sizeof name, "/op%02d_arg%02d", which, arg);
            bool ok = true;
            if (repliesSeen.insert(port._replies).second)
                ok = WriteFile(argv[1] + std::string(name), seed);
            if (arg == 16 && !port._sent.empty() && framesSeen.insert(port._sent).second)
                ok = ok && WriteFile(argv[2] + std::string(name), port._sent);
            if (!ok) {
                std::fprintf(stderr, "cannot write %s\n", name + 1);
                return 1;
            }
        }
    }
    return 0;
}
