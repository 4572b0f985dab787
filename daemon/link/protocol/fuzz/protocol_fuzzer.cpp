// Feeds arbitrary converter answers to every protocol command.
//
// Input: byte 0 picks the command (commands.cpp), byte 1 its size argument;
// the rest is a sequence of answers, each a length byte followed by that
// many bytes (the answer to one written packet), the length's top bit
// splitting the answer into two bursts. From byte 0 = 40 on, the answers'
// bytes are also waiting before the command is sent.
#include <cstddef>
#include <cstdint>

#include <QtGlobal>

#include "commands.h"
#include "protocol/ccommprotocol.h"
#include "scriptedserial.h"

namespace {

using tovik::test::Bytes;
using tovik::test::ScriptedSerial;

void QuietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

void QueueAnswers(ScriptedSerial& port, const uint8_t* data, size_t size)
{
    size_t pos = 0;
    while (pos < size) {
        const bool split = data[pos] & 0x80;
        size_t n = data[pos] & 0x7F;
        ++pos;
        if (n > size - pos)
            n = size - pos;
        Bytes bytes(data + pos, data + pos + n);
        pos += n;
        if (split && n > 1) {
            const size_t half = n / 2;
            port.QueueReply(ScriptedSerial::Reply{{Bytes(bytes.begin(), bytes.begin() + long(half))},
                                              {Bytes(bytes.begin() + long(half), bytes.end())}});
        } else {
            port.QueueReply(bytes);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(QuietMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    ScriptedSerial port;
    CCommProtocol protocol(&port, nullptr);
    QueueAnswers(port, data + 2, size - 2);
    if (data[0] >= kFuzzCommandCount)
        port.Preload(Bytes(data + 2, data + size));
    RunCommand(protocol, data[0], data[1]);
    return 0;
}
