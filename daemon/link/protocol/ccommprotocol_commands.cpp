// Single-shot converter commands: identification, versions, names, single
// parameters and direct register access.
#include "protocol/ccommprotocol.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <QByteArray>

#include "protocol/wirebytes.h"
#include "serial/cserialif.h"

using wire::PutHeader;
using wire::PutLong;
using wire::PutWord;

namespace {

const int kMaxPacket = 0xFFFF;

} // namespace

int CCommProtocol::SimpleCommand(const UByte* packet, int length, bool flushFirst)
{
    UByte header[kResponseHeaderSize];
    return Transact(packet, length, flushFirst, header);
}

int CCommProtocol::FixedReply(const UByte* packet, int length, bool flushFirst, UByte* field,
                              ULWord fieldLength)
{
    UByte header[kResponseHeaderSize];
    int status = Transact(packet, length, flushFirst, header);
    if (status == kOK)
        status = ExpectLength(header, UWord(kResponseHeaderSize + fieldLength));
    if (status == kOK)
        status = ReadField(field, fieldLength);
    return status;
}

int CCommProtocol::ReadVersionReply(const UByte* packet, int length, UByte& major, UByte& minor)
{
    UByte version[2];
    const int status = FixedReply(packet, length, true, version, 2);
    if (status != kOK)
        return status;
    major = version[0];
    minor = version[1];
    return kOK;
}

int CCommProtocol::ReadProtocolVersion(UByte& version)
{
    static const UByte packet[] = {kReadProtocolVersionCmd, 0x00, 0x03};
    UByte value = 0;
    const int status = FixedReply(packet, sizeof(packet), true, &value, 1);
    if (status != kOK)
        return status;
    version = value;
    return kOK;
}

int CCommProtocol::ReadModuleInfo(UByte (&payload)[kModuleInfoSize])
{
    static const UByte packet[] = {kReadModuleInfoCmd, 0x00, 0x03};
    UByte reply[kModuleInfoSize];
    const int status = FixedReply(packet, sizeof(packet), false, reply, kModuleInfoSize);
    if (status != kOK)
        return status;
    std::memcpy(payload, reply, sizeof reply);
    return kOK;
}

int CCommProtocol::WriteModuleInfo(const QByteArray& description)
{
    QByteArray packet;
    packet.append(char(kWriteModuleInfoCmd));
    packet.append(2, '\0');
    packet.append(description);
    if (packet.size() > kMaxPacket)
        return kIllegalArgument;
    PutWord(reinterpret_cast<UByte*>(packet.data()) + 1, UWord(packet.size()));
    return SimpleCommand(reinterpret_cast<const UByte*>(packet.constData()), packet.size(), false);
}

int CCommProtocol::ReadModuleTypeID(ULWord& typeId)
{
    static const UByte packet[] = {kReadModuleTypeIDCmd, 0x00, 0x03};
    UByte value = 0;
    const int status = FixedReply(packet, sizeof(packet), true, &value, 1);
    if (status != kOK)
        return status;
    // An unprogrammed type byte reads as "Unknown".
    typeId = value == 0xFF ? 0 : value;
    return kOK;
}

int CCommProtocol::WriteModuleTypeID(UByte typeId)
{
    const UByte packet[] = {kWriteModuleTypeIDCmd, 0x00, 0x04, typeId};
    return FixedReply(packet, sizeof(packet), true, nullptr, 0);
}

int CCommProtocol::ReadFPGAFirmwareVersion(UByte interfaceId, UByte deviceId, UWord address,
                                           UByte& major, UByte& minor)
{
    UByte packet[7];
    PutHeader(packet, kReadFPGAFirmwareVersionCmd, sizeof(packet));
    packet[3] = interfaceId;
    packet[4] = deviceId;
    PutWord(packet + 5, address);
    return ReadVersionReply(packet, sizeof(packet), major, minor);
}

int CCommProtocol::ReadLUTFirmwareVersion(UByte interfaceId, UByte deviceId, UByte lutId,
                                          ULWord address, UByte& major, UByte& minor)
{
    UByte packet[10];
    PutHeader(packet, kReadLUTFirmwareVersionCmd, sizeof(packet));
    packet[3] = interfaceId;
    packet[4] = deviceId;
    packet[5] = lutId;
    PutLong(packet + 6, address);
    return ReadVersionReply(packet, sizeof(packet), major, minor);
}

int CCommProtocol::WriteConfigParameter(UByte fpgaId, UByte blockId, UWord start,
                                        const UByte* data, UWord length)
{
    const int size = length + 9;
    if (size > kMaxPacket || (length > 0 && !data))
        return kIllegalArgument;
    std::vector<UByte> packet(size);
    PutHeader(packet.data(), kWriteConfigParameterCmd, UWord(size));
    packet[3] = fpgaId;
    packet[4] = blockId;
    PutWord(&packet[5], start);
    PutWord(&packet[7], length);
    if (length > 0)
        std::memcpy(&packet[9], data, length);
    return SimpleCommand(packet.data(), size, false);
}

int CCommProtocol::ReadConfigParameter(UByte fpgaId, UByte blockId, UWord start, UByte* buffer,
                                       UWord length)
{
    if (length > 0 && !buffer)
        return kIllegalArgument;
    UByte packet[9];
    PutHeader(packet, kReadConfigParameterCmd, sizeof(packet));
    packet[3] = fpgaId;
    packet[4] = blockId;
    PutWord(packet + 5, start);
    PutWord(packet + 7, length);
    UByte header[kResponseHeaderSize];
    int status = Transact(packet, sizeof(packet), false, header);
    ULWord n = 0;
    if (status == kOK)
        status = ReadCount(2, 0, length, kParameterLengthMismatch, n);
    if (status != kOK)
        return status;
    // The caller's buffer is written only once every asked byte is here.
    std::vector<UByte> data(n);
    status = ReadField(data.data(), n);
    if (status != kOK)
        return status;
    if (n < length) {
        // Fewer bytes than asked would leave the rest of the value unset.
        _port->Flush();
        return kParameterLengthMismatch;
    }
    if (n > 0)
        std::memcpy(buffer, data.data(), n);
    return kOK;
}

int CCommProtocol::WriteReleaseVersion(UByte major, UByte minor)
{
    const UByte packet[] = {kWriteReleaseVersionCmd, 0x00, 0x05, major, minor};
    return FixedReply(packet, sizeof(packet), true, nullptr, 0);
}

int CCommProtocol::ReadReleaseVersion(UByte& major, UByte& minor)
{
    static const UByte packet[] = {kReadReleaseVersionCmd, 0x00, 0x03};
    return ReadVersionReply(packet, sizeof(packet), major, minor);
}

int CCommProtocol::WriteTextField(UByte code, const QString& text, int width)
{
    // The field holds the UTF-8 form cut at the width, zero-padded.
    std::vector<UByte> packet(kCommandHeaderSize + width, 0);
    PutHeader(packet.data(), code, UWord(packet.size()));
    const QByteArray utf8 = text.toUtf8();
    std::memcpy(&packet[kCommandHeaderSize], utf8.constData(),
                std::min<size_t>(size_t(utf8.size()), size_t(width)));
    return FixedReply(packet.data(), int(packet.size()), false, nullptr, 0);
}

int CCommProtocol::ReadTextField(UByte code, QString& text, int width)
{
    const UByte packet[] = {code, 0x00, 0x03};
    std::vector<UByte> field(width + 1, 0);
    const int status = FixedReply(packet, sizeof(packet), true, field.data(), ULWord(width));
    if (status != kOK)
        return status;
    // Each byte up to the first zero is one Latin-1 character.
    text = QString::fromLatin1(reinterpret_cast<const char*>(field.data()),
                               int(std::strlen(reinterpret_cast<const char*>(field.data()))));
    return kOK;
}

int CCommProtocol::WriteModuleName(const QString& name)
{
    return WriteTextField(kWriteModuleNameCmd, name, kModuleNameWidth);
}

int CCommProtocol::WriteLongModuleName(const QString& name)
{
    return WriteTextField(kWriteModuleNameCmd, name, kLongModuleNameWidth);
}

int CCommProtocol::ReadModuleName(QString& name)
{
    return ReadTextField(kReadModuleNameCmd, name, kModuleNameWidth);
}

int CCommProtocol::ReadLongModuleName(QString& name)
{
    return ReadTextField(kReadLongModuleNameCode, name, kLongModuleNameWidth);
}

int CCommProtocol::WriteBoardAssemblyID(const QString& id)
{
    return WriteTextField(kWriteBoardAssemblyIDCmd, id, kBoardAssemblyIDWidth);
}

int CCommProtocol::ReadBoardAssemblyID(QString& id)
{
    return ReadTextField(kReadBoardAssemblyIDCmd, id, kBoardAssemblyIDWidth);
}

int CCommProtocol::WriteSerialID(const QString& serial)
{
    return WriteTextField(kWriteSerialIDCmd, serial, kSerialIDWidth);
}

int CCommProtocol::ReadSerialID(QString& serial)
{
    return ReadTextField(kReadSerialIDCmd, serial, kSerialIDWidth);
}

int CCommProtocol::CheckDeviceAccess(UByte interfaceId, const UByte* data, ULWord count)
{
    _port->Flush();
    if (interfaceId > kMaxInterfaceID)
        return kBadInterface;
    if (count > 0 && !data)
        return kIllegalArgument;
    return kOK;
}

int CCommProtocol::WriteDeviceDataImmediate(UByte interfaceId, UByte deviceId, ULWord address,
                                            const UByte* data, UByte count)
{
    const int checked = CheckDeviceAccess(interfaceId, data, count);
    if (checked != kOK)
        return checked;
    UByte packet[10 + 255];
    const int size = 10 + count;
    PutHeader(packet, kWriteDeviceDataImmediateCmd, UWord(size));
    packet[3] = interfaceId;
    packet[4] = deviceId;
    PutLong(packet + 5, address);
    packet[9] = count;
    if (count > 0)
        std::memcpy(packet + 10, data, count);
    return SimpleCommand(packet, size, false);
}

int CCommProtocol::ReadDeviceDataImmediate(UByte interfaceId, UByte deviceId, ULWord address,
                                           UByte* buffer, UByte count)
{
    const int checked = CheckDeviceAccess(interfaceId, buffer, count);
    if (checked != kOK)
        return checked;
    UByte packet[10];
    PutHeader(packet, kReadDeviceDataImmediateCmd, sizeof(packet));
    packet[3] = interfaceId;
    packet[4] = deviceId;
    PutLong(packet + 5, address);
    packet[9] = count;
    UByte header[kResponseHeaderSize];
    int status = Transact(packet, sizeof(packet), false, header);
    ULWord echoed = 0;
    if (status == kOK)
        status = ReadCount(1, count, count, kParameterLengthMismatch, echoed);
    if (status != kOK)
        return status;
    // The caller's buffer is written only when the whole read succeeded.
    UByte data[255];
    status = ReadField(data, count);
    if (status != kOK)
        return status;
    if (count > 0)
        std::memcpy(buffer, data, count);
    return kOK;
}

int CCommProtocol::RefreshConfig(UByte fpgaId, UByte blockId)
{
    const UByte packet[] = {kRefreshConfigCmd, 0x00, 0x05, fpgaId, blockId};
    return SimpleCommand(packet, sizeof(packet), true);
}

int CCommProtocol::Reset()
{
    static const UByte packet[] = {kResetCmd, 0x00, 0x03};
    return SimpleCommand(packet, sizeof(packet), true);
}
