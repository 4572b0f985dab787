#include "commands.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <QByteArray>
#include <QString>

#include "protocol/ccommprotocol.h"

void RunCommand(CCommProtocol& p, std::uint8_t which, std::uint8_t arg)
{
    // The outputs of a single-shot read start as marks; result stays kOK
    // for every other operation.
    const UByte kMark = 0xA5;
    const ULWord kMarkLong = 0xA5A5A5A5;
    UByte b1 = kMark, b2 = kMark;
    ULWord l = kMarkLong;
    const QString kMarkText = QStringLiteral("unread");
    QString text = kMarkText;
    UByte info[CCommProtocol::kModuleInfoSize];
    std::fill(std::begin(info), std::end(info), kMark);
    std::vector<UByte> buffer(arg + 1u, kMark);
    int result = kOK;
    const std::vector<UByte> image(arg + 1u, 0x5A);
    std::istringstream stream(std::string(image.begin(), image.end()));
    const UByte interfaceId = arg & 0x07;
    switch (which % kFuzzCommandCount) {
    case 0: result = p.ReadProtocolVersion(b1); break;
    case 1: result = p.ReadModuleInfo(info); break;
    case 2: p.WriteModuleInfo(QByteArray(reinterpret_cast<const char*>(image.data()), int(image.size()))); break;
    case 3: result = p.ReadModuleTypeID(l); break;
    case 4: p.WriteModuleTypeID(arg); break;
    case 5: result = p.ReadFPGAFirmwareVersion(interfaceId, 0, arg, b1, b2); break;
    case 6: result = p.ReadLUTFirmwareVersion(interfaceId, 0, 1, arg, b1, b2); break;
    case 7: p.WriteConfigParameter(0, 0, 3, image.data(), arg); break;
    case 8: result = p.ReadConfigParameter(0, 0, 3, buffer.data(), arg); break;
    case 9: p.WriteReleaseVersion(1, arg); break;
    case 10: result = p.ReadReleaseVersion(b1, b2); break;
    case 11: p.WriteModuleName(QString::fromLatin1("name\xE9\xFF")); break;
    case 12: p.WriteLongModuleName(QString::fromUtf8("long module n\xC3\xA4me")); break;
    case 13: result = p.ReadModuleName(text); break;
    case 14: result = p.ReadLongModuleName(text); break;
    case 15: p.WriteBoardAssemblyID("B12345678X"); break;
    case 16: result = p.ReadBoardAssemblyID(text); break;
    case 17: p.WriteSerialID("SIM05001"); break;
    case 18: result = p.ReadSerialID(text); break;
    case 19: p.WriteDeviceDataImmediate(interfaceId, 0, 0, image.data(), arg); break;
    case 20: result = p.ReadDeviceDataImmediate(interfaceId, 0, 0, buffer.data(), arg); break;
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
    // A read that fails leaves every output as it was.
    if (result != kOK) {
        const auto marked = [](UByte b) { return b == kMark; };
        const bool untouched = b1 == kMark && b2 == kMark && l == kMarkLong && text == kMarkText
                            && std::all_of(std::begin(info), std::end(info), marked)
                            && std::all_of(buffer.begin(), buffer.end(), marked);
        if (!untouched)
            std::abort();
    }
}
