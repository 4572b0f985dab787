// Chunked transfers and the commands that open them: configuration data,
// device data and firmware updates.
#include "protocol/ccommprotocol.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "protocol/wirebytes.h"
#include "serial/cserialif.h"

using wire::PutHeader;
using wire::PutLong;
using wire::PutWord;

namespace {

// Units of a firmware update before the converter has named its chunk size.
const ULWord kFirmwarePrepUnits = 200;
const int kChunkHeaderSize = 5;

ULWord ChunkCount(ULWord total, ULWord chunk)
{
    return total / chunk + (total % chunk != 0 ? 1 : 0);
}

void BuildConfigDataPacket(UByte* packet, UByte code, UByte fpgaId, UByte blockId, UWord length)
{
    PutHeader(packet, code, 7);
    packet[3] = fpgaId;
    packet[4] = blockId;
    PutWord(packet + 5, length);
}

} // namespace

// Where the bytes of an upload come from.
class CCommProtocol::Source {
public:
    virtual ~Source() {}
    // Fills out with the n bytes that follow offset; a status.
    virtual int Fill(UByte* out, ULWord n, ULWord offset) = 0;
};

class CCommProtocol::BufferSource : public CCommProtocol::Source {
public:
    explicit BufferSource(const UByte* data) : _data(data) {}
    int Fill(UByte* out, ULWord n, ULWord offset) override
    {
        std::memcpy(out, _data + offset, n);
        return kOK;
    }

private:
    const UByte* _data;
};

class CCommProtocol::StreamSource : public CCommProtocol::Source {
public:
    explicit StreamSource(std::istream& stream) : _stream(stream) {}
    int Fill(UByte* out, ULWord n, ULWord) override
    {
        _stream.read(reinterpret_cast<char*>(out), std::streamsize(n));
        if (_stream.bad() || _stream.fail())
            return kCannotReadFromStream;
        if (_stream.gcount() != std::streamsize(n))
            return kBadByteCountFromStream;
        return kOK;
    }

private:
    std::istream& _stream;
};

int CCommProtocol::SendData(std::istream& source, ULWord total, ULWord chunk)
{
    StreamSource from(source);
    return Upload(from, total, chunk);
}

int CCommProtocol::SendData(const UByte* data, ULWord total, ULWord chunk)
{
    if (total > 0 && !data)
        return kIllegalArgument;
    BufferSource from(data);
    return Upload(from, total, chunk);
}

int CCommProtocol::Upload(Source& source, ULWord total, ULWord chunk)
{
    _port->Flush();
    if (chunk == 0)
        return kPacketSizeOfZero;
    // The chunk's length field is 16 bits wide and counts the header too.
    if (chunk > kMaxUploadChunk)
        return kIllegalArgument;
    const ULWord chunks = ChunkCount(total, chunk);
    if (chunks == 0)
        return TransferComplete();

    std::vector<UByte> packet(chunk + kChunkHeaderSize);
    packet[0] = kSendDataCmd;
    ULWord remaining = total;
    for (ULWord i = 1; !_abort; ++i) {
        const ULWord n = std::min(remaining, chunk);
        PutWord(&packet[1], UWord(n + kChunkHeaderSize));
        PutWord(&packet[3], UWord(n));
        const int filled = source.Fill(&packet[kChunkHeaderSize], n, total - remaining);
        if (filled != kOK)
            return filled;
        const int sent = SendPacket(packet.data(), int(n + kChunkHeaderSize));
        if (sent != kOK)
            return sent;
        UByte header[kResponseHeaderSize];
        const int status = ReceiveResponse(header, kSendDataResponse);
        if (status != kOK) {
            _port->Flush();
            return status;
        }
        remaining -= n;
        ++_chunksSent;
        ReportProgress();
        if (i == chunks)
            return TransferComplete();
    }
    Abort();
    _abort = false;
    return kOpAborted;
}

int CCommProtocol::RequestData(UByte* buffer, ULWord total, ULWord chunk)
{
    _port->Flush();
    if (chunk == 0)
        return kPacketSizeOfZero;
    if (chunk > kMaxDownloadChunk || (total > 0 && !buffer))
        return kIllegalArgument;
    // Chunks land here first, growing as they come: a download that fails
    // leaves the caller's buffer as it was.
    std::vector<UByte> received;
    UByte request[5];
    PutHeader(request, kRequestDataCmd, sizeof(request));
    ULWord remaining = total;
    ULWord position = 0;
    int emptyAnswers = 0;
    while (remaining > 0) {
        PutWord(request + 3, UWord(std::min(remaining, chunk)));
        const int sent = SendPacket(request, sizeof(request));
        if (sent != kOK)
            return sent;
        UByte header[kResponseHeaderSize];
        int status = ReceiveResponse(header, kRequestDataResponse);
        if (status != kOK) {
            _port->Flush();
            return status;
        }
        ULWord m = 0;
        status = ReadCount(2, 0, remaining, kByteCountMismatch, m);
        if (status != kOK)
            return status;
        // A converter that keeps sending nothing would hold the caller forever.
        if (m == 0) {
            if (++emptyAnswers >= kMaxEmptyDownloadAnswers) {
                _port->Flush();
                return kPacketSizeOfZero;
            }
            continue;
        }
        emptyAnswers = 0;
        received.resize(position + m);
        status = ReadField(received.data() + position, m);
        if (status != kOK)
            return status;
        position += m;
        remaining -= m;
    }
    const int status = TransferComplete();
    if (status == kOK && total > 0)
        std::memcpy(buffer, received.data(), total);
    return status;
}

int CCommProtocol::TransferComplete()
{
    static const UByte packet[] = {kTransferCompleteCmd, 0x00, 0x03};
    return SimpleCommand(packet, sizeof(packet), false);
}

int CCommProtocol::Abort()
{
    static const UByte packet[] = {kAbortCmd, 0x00, 0x03};
    return SimpleCommand(packet, sizeof(packet), true);
}

int CCommProtocol::OpenTransfer(const UByte* packet, int length, bool flushFirst,
                                LengthRule rule, bool flushOnBadLength, UWord& chunk,
                                UWord chunkOverride)
{
    UByte header[kResponseHeaderSize];
    const int status = Transact(packet, length, flushFirst, header);
    if (status != kOK)
        return status;
    const UWord answered = ResponseLength(header);
    const bool fits = rule == kLengthSix ? answered == 6 : answered > 5;
    if (!fits) {
        if (flushOnBadLength)
            _port->Flush();
        return kBadCmdByteCount;
    }
    // The converter's chunk size is read even when the caller overrides it;
    // the size used may not be 0.
    ULWord size = 0;
    const int read = ReadCount(2, chunkOverride != 0 ? 0 : 1, 0xFFFF, kPacketSizeOfZero, size);
    if (read != kOK)
        return read;
    chunk = chunkOverride != 0 ? chunkOverride : UWord(size);
    return kOK;
}

int CCommProtocol::ReadConfigData(UByte fpgaId, UByte blockId, UByte* buffer, UWord length)
{
    // Refused before the converter opens a transfer nobody would finish.
    if (length > 0 && !buffer)
        return kIllegalArgument;
    UByte packet[7];
    BuildConfigDataPacket(packet, kReadConfigDataCmd, fpgaId, blockId, length);
    UWord chunk = 0;
    const int status = OpenTransfer(packet, sizeof(packet), false, kLengthAboveFive, true, chunk);
    if (status != kOK)
        return status;
    return RequestData(buffer, length, chunk);
}

int CCommProtocol::WriteConfigData(UByte fpgaId, UByte blockId, const UByte* data, UWord length)
{
    if (length > 0 && !data)
        return kIllegalArgument;
    UByte packet[7];
    BuildConfigDataPacket(packet, kWriteConfigDataCmd, fpgaId, blockId, length);
    UWord chunk = 0;
    const int status = OpenTransfer(packet, sizeof(packet), true, kLengthSix, false, chunk);
    if (status != kOK)
        return status;
    return SendData(data, length, chunk);
}

namespace {

void BuildDeviceDataPacket(UByte* packet, UByte code, UByte interfaceId, UByte deviceId,
                           ULWord address, ULWord count)
{
    PutHeader(packet, code, 13);
    packet[3] = interfaceId;
    packet[4] = deviceId;
    PutLong(packet + 5, address);
    PutLong(packet + 9, count);
}

} // namespace

int CCommProtocol::ReadDeviceData(UByte interfaceId, UByte deviceId, ULWord address,
                                  UByte* buffer, ULWord count)
{
    const int checked = CheckDeviceAccess(interfaceId, buffer, count);
    if (checked != kOK)
        return checked;
    UByte packet[13];
    BuildDeviceDataPacket(packet, kReadDeviceDataCmd, interfaceId, deviceId, address, count);
    UWord chunk = 0;
    const int status = OpenTransfer(packet, sizeof(packet), false, kLengthSix, true, chunk);
    if (status != kOK)
        return status;
    return RequestData(buffer, count, chunk);
}

int CCommProtocol::WriteDeviceData(UByte interfaceId, UByte deviceId, ULWord address,
                                   const UByte* data, ULWord count)
{
    const int checked = CheckDeviceAccess(interfaceId, data, count);
    if (checked != kOK)
        return checked;
    UByte packet[13];
    BuildDeviceDataPacket(packet, kWriteDeviceDataCmd, interfaceId, deviceId, address, count);
    UWord chunk = 0;
    const int status = OpenTransfer(packet, sizeof(packet), false, kLengthSix, false, chunk);
    if (status != kOK)
        return status;
    return SendData(data, count, chunk);
}

int CCommProtocol::WriteDeviceData(UByte interfaceId, UByte deviceId, ULWord address,
                                   std::istream& source, ULWord count)
{
    PrepareProgress(0);
    UByte packet[13];
    BuildDeviceDataPacket(packet, kWriteDeviceDataCmd, interfaceId, deviceId, address, count);
    UWord chunk = 0;
    const int status = OpenTransfer(packet, sizeof(packet), true, kLengthSix, true, chunk);
    if (status != kOK)
        return status;
    return SendData(source, count, chunk);
}

int CCommProtocol::OpenFirmwareUpdate(UByte code, UWord size, UWord& chunk)
{
    PrepareProgress(kFirmwarePrepUnits);
    UByte packet[5];
    PutHeader(packet, code, sizeof(packet));
    PutWord(packet + 3, size);
    return OpenTransfer(packet, sizeof(packet), false, kLengthAboveFive, true, chunk);
}

int CCommProtocol::SafeBootFirmwareUpdate(std::istream& source, UWord size)
{
    UWord chunk = 0;
    const int status = OpenFirmwareUpdate(kSafeBootFirmwareUpdateCmd, size, chunk);
    if (status != kOK)
        return status;
    RescaleProgress(ChunkCount(size, chunk));
    return SendData(source, size, chunk);
}

int CCommProtocol::CNCAppFirmwareUpdate(std::istream& source, UWord size)
{
    UWord chunk = 0;
    const int status = OpenFirmwareUpdate(kCNCAppFirmwareUpdateCmd, size, chunk);
    if (status != kOK)
        return status;
    // A 5 % reserve for the converter's work after the last chunk.
    const ULWord chunks = ChunkCount(size, chunk);
    RescaleProgress(chunks + chunks / 20);
    return SendData(source, size, chunk);
}

int CCommProtocol::FPGAFirmwareUpdate(UByte interfaceId, UByte deviceId, ULWord start,
                                      std::istream& source, ULWord size, UWord chunkOverride)
{
    PrepareProgress(kFirmwarePrepUnits);
    UByte packet[13];
    PutHeader(packet, kFPGAFirmwareUpdateCmd, sizeof(packet));
    packet[3] = interfaceId;
    packet[4] = deviceId;
    PutLong(packet + 5, start);
    PutLong(packet + 9, size);
    UWord chunk = 0;
    const int status =
        OpenTransfer(packet, sizeof(packet), true, kLengthAboveFive, true, chunk, chunkOverride);
    if (status != kOK)
        return status;
    if (chunk == 0) {
        _port->Flush();
        return kPacketSizeOfZero;
    }
    RescaleProgress(ChunkCount(size, chunk));
    return SendData(source, size, chunk);
}

int CCommProtocol::LUTFirmwareUpdate(UByte interfaceId, UByte deviceId, UByte lutDeviceId,
                                     ULWord lutRegisterStart, ULWord lutStart,
                                     std::istream& source, ULWord size)
{
    PrepareProgress(kFirmwarePrepUnits);
    UByte packet[18];
    PutHeader(packet, kLUTFirmwareUpdateCmd, sizeof(packet));
    packet[3] = interfaceId;
    packet[4] = deviceId;
    packet[5] = lutDeviceId;
    PutLong(packet + 6, lutStart);
    PutLong(packet + 10, size);
    PutLong(packet + 14, lutRegisterStart);
    UWord chunk = 0;
    const int status = OpenTransfer(packet, sizeof(packet), true, kLengthAboveFive, true, chunk);
    if (status != kOK)
        return status;
    RescaleProgress(ChunkCount(size, chunk));
    return SendData(source, size, chunk);
}
