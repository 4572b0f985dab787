// Feeds arbitrary converter answers to every protocol command.
//
// Input: byte 0 picks the command, byte 1 its size argument; the rest is a
// sequence of answers, each a length byte followed by that many bytes (the
// answer to one written packet), the length's top bit splitting the answer
// into two bursts.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <vector>

#include <QCoreApplication>

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

void RunCommand(CCommProtocol& p, uint8_t which, uint8_t arg)
{
    UByte b1 = 0, b2 = 0;
    ULWord l = 0;
    QString text;
    UByte info[CCommProtocol::kModuleInfoSize];
    std::vector<UByte> buffer(arg + 1u, 0);
    const std::vector<UByte> image(arg + 1u, 0x5A);
    std::istringstream stream(std::string(image.begin(), image.end()));
    const UByte interfaceId = arg & 0x07;
    switch (which % 40) {
    case 0: p.ReadProtocolVersion(b1); break;
    case 1: p.ReadModuleInfo(info); break;
    case 2: p.WriteModuleInfo(QByteArray(reinterpret_cast<const char*>(image.data()), int(image.size()))); break;
    case 3: p.ReadModuleTypeID(l); break;
    case 4: p.WriteModuleTypeID(arg); break;
    case 5: p.ReadFPGAFirmwareVersion(interfaceId, 0, arg, b1, b2); break;
    case 6: p.ReadLUTFirmwareVersion(interfaceId, 0, 1, arg, b1, b2); break;
    case 7: p.WriteConfigParameter(0, 0, 3, image.data(), arg); break;
    case 8: p.ReadConfigParameter(0, 0, 3, buffer.data(), arg); break;
    case 9: p.WriteReleaseVersion(1, arg); break;
    case 10: p.ReadReleaseVersion(b1, b2); break;
    case 11: p.WriteModuleName(QString::fromLatin1("name\xE9\xFF")); break;
    case 12: p.WriteLongModuleName(QString::fromUtf8("long module n\xC3\xA4me")); break;
    case 13: p.ReadModuleName(text); break;
    case 14: p.ReadLongModuleName(text); break;
    case 15: p.WriteBoardAssemblyID("B12345678X"); break;
    case 16: p.ReadBoardAssemblyID(text); break;
    case 17: p.WriteSerialID("SIM05001"); break;
    case 18: p.ReadSerialID(text); break;
    case 19: p.WriteDeviceDataImmediate(interfaceId, 0, 0, image.data(), arg); break;
    case 20: p.ReadDeviceDataImmediate(interfaceId, 0, 0, buffer.data(), arg); break;
    case 21: p.RefreshConfig(0, arg); break;
    case 22: p.Reset(); break;
    case 23: p.SendData(stream, arg, (arg % 7) + 1); break;
    case 24: p.SendData(image.data(), arg, (arg % 7) + 1); break;
    case 25: p.RequestData(buffer.data(), arg, (arg % 7) + 1); break;
    case 26: p.TransferComplete(); break;
    case 27: p.Abort(); break;
    case 28: p.ReadConfigData(0, 0, buffer.data(), arg); break;
    case 29: p.WriteConfigData(0, 0, image.data(), arg); break;
    case 30: p.ReadDeviceData(interfaceId, 0, 0, buffer.data(), arg); break;
    case 31: p.WriteDeviceData(interfaceId, 0, 0, image.data(), arg); break;
    case 32: p.WriteDeviceData(interfaceId, 0, 0, stream, arg); break;
    case 33: p.SafeBootFirmwareUpdate(stream, arg); break;
    case 34: p.CNCAppFirmwareUpdate(stream, arg); break;
    case 35: p.FPGAFirmwareUpdate(interfaceId, 0, 0, stream, arg, 0); break;
    case 36: p.FPGAFirmwareUpdate(interfaceId, 0, 0, stream, arg, arg % 5); break;
    case 37: p.LUTFirmwareUpdate(interfaceId, 0, 1, 0, 0, stream, arg); break;
    case 38: {
        UByte header[4];
        p.ReceiveResponse(header, 0xC0);
        break;
    }
    default:
        p.SetAbortFlag(true);
        p.SendData(image.data(), arg, 3);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (qInstallMessageHandler(QuietMessages), true);
    (void)quiet;
    if (size < 2)
        return 0;
    ScriptedSerial port;
    CCommProtocol protocol(&port, nullptr);
    QueueAnswers(port, data + 2, size - 2);
    if (data[0] >= 40) // the rest of the answers as input already waiting
        port.Preload(Bytes(data + 2, data + size));
    RunCommand(protocol, data[0], data[1]);
    return 0;
}
