// Framing, response reader, names and trace of the converter protocol.
#include "protocol/ccommprotocol.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include <QDateTime>
#include <QDebug>

#include "protocol/cprogressif.h"
#include "protocol/wirebytes.h"
#include "base/quoteddebug.h"
#include "journalstream.h"
#include "serial/cserialif.h"

namespace {

// Command names, indexed by code - 0x80; the long name read (0xA3) has none.
const char* const kCommandNames[] = {
    "kReadProtocolVersionCmd",      "kReadModuleInfoCmd",
    "kWriteModuleInfoCmd",          "kReadModuleTypeIDCmd",
    "kReadFPGAFirmwareVersionCmd",  "kSafeBootFirmwareUpdateCmd",
    "kCNCAppFirmwareUpdateCmd",     "kFPGAFirmwareUpdateCmd",
    "kSendDataCmd",                 "kRequestDataCmd",
    "kTransferCompleteCmd",         "kWriteConfigDataCmd",
    "kReadConfigDataCmd",           "kWriteConfigParameterCmd",
    "kReadConfigParameterCmd",      "kWriteConfigSubblockCmd",
    "kReadConfigSubblockCmd",       "kAbortCmd",
    "kRefreshConfigCmd",            "kWriteDeviceDataCmd",
    "kReadDeviceDataCmd",           "kReadReleaseVersionCmd",
    "kWriteReleaseVersionCmd",      "kReadModuleNameCmd",
    "kWriteModuleNameCmd",          "kReadBoardAssemblyIDCmd",
    "kWriteBoardAssemblyIDCmd",     "kReadSerialIDCmd",
    "kWriteSerialIDCmd",            "kWriteDeviceDataImmediateCmd",
    "kReadDeviceDataImmediateCmd",  "kWriteModuleTypeIDCmd",
    "kResetCmd",                    "kLUTFirmwareUpdateCmd",
    "kReadLUTFirmwareVersionCmd",
};
const int kNamedCommands = int(sizeof(kCommandNames) / sizeof(kCommandNames[0]));

// Status names, indexed by -status.
const char* const kStatusNames[] = {
    "kOK",
    "kUnknownError",
    "kUnknownCommand",
    "kUnimplementedCommand",
    "kTimedOut",
    "kBadCmdByteCount",
    "kWrongResponse",
    "kPacketSizeOfZero",
    "kParameterLengthMismatch",
    "kCannotAllocateMemory",
    "kCannotReadFromStream",
    "kBadByteCountFromStream",
    "kIllegalArgument",
    "kBufNotBigEnough",
    "kByteCountMismatch",
    "kOpAborted",
    "kBadInterface",
    "kBadConfigBlockID",
    "kInvalidConfigData",
    "kBadFPGAID",
    "kJtagTdoMismatch",
    "kJtagUnknownInstruction",
    "kBadDevice",
    "kNotDoneYet",
};
const int kNamedStatuses = int(sizeof(kStatusNames) / sizeof(kStatusNames[0]));

const int kBusyStatus = 2;

// Stands in when the protocol is built without a port: every command fails
// as on a closed line instead of touching a null pointer.
class NoPort : public CSerialIF {
public:
    void EnumeratePorts() override {}
    bool Open(int) override { return false; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    int GetPortCount() override { return 0; }
    int Read(unsigned char*, std::uint32_t) override { return -1; }
    bool Write(const unsigned char*, std::int32_t) override { return false; }
    int Flush() override { return 0; }
};

CSerialIF* PortOrNone(CSerialIF* port)
{
    static NoPort none;
    return port ? port : &none;
}

} // namespace

CCommProtocol::CCommProtocol(CSerialIF* port, CProgressIF* progress, QObject* parent)
    : QObject(parent), _port(PortOrNone(port)), _progress(progress)
{
}

CCommProtocol::~CCommProtocol() = default;

QString CCommProtocol::CommandName(int code)
{
    if (code == kUnknownCommandResponse)
        return QStringLiteral("kUnknownCommandResponse");
    if (code >= 0x80 && code < 0x80 + kNamedCommands)
        return QString::fromLatin1(kCommandNames[code - 0x80]);
    const int command = code - kResponseCodeOffset;
    if (command >= 0x80 && command < 0x80 + kNamedCommands) {
        QString name = QString::fromLatin1(kCommandNames[command - 0x80]);
        name.chop(3); // "Cmd"
        return name + QStringLiteral("Response");
    }
    return QStringLiteral("Unknown Command");
}

QString CCommProtocol::StatusName(int status)
{
    if (status <= 0 && status > -kNamedStatuses)
        return QString::fromLatin1(kStatusNames[-status]);
    return QStringLiteral("Unknown Status");
}

qint64 CCommProtocol::Now() const
{
    return QDateTime::currentMSecsSinceEpoch();
}

UWord CCommProtocol::ResponseLength(const UByte* header)
{
    return wire::GetWord(header + 1);
}

void CCommProtocol::TraceCommand(UByte code, qint64 time)
{
    const QString ts = QStringLiteral("%1ms").arg(time - _traceStart);
    const QString hex = QStringLiteral("0x%1").arg(uint(code), 0, 16);
    const QString name = CommandName(code);
    const QString html = QStringLiteral("<span class=\"cmd\"><span class=\"ts\">%1</span>"
                                        "<span class=\"cmdCode\">%2</span>"
                                        "<span class=\"cmdStr\">%3</span></span><br/>")
                             .arg(ts, hex, name);
    const QString text = QStringLiteral("%1\t%2\t%3\n")
                             .arg(ts, -10)
                             .arg(hex, -10)
                             .arg(name, -40);
    emit CommandProtocol(html, text);
}

void CCommProtocol::TraceResponse(const UByte* header, int result, QString* textOut)
{
    const QString ts = QStringLiteral("%1ms").arg(Now() - _traceStart);
    const QString hex = QStringLiteral("0x%1").arg(uint(header[0]), 0, 16);
    const QString name = CommandName(header[0]);
    const QString resCode = QString::number(result);
    const QString resName = StatusName(result);
    const QString html = QStringLiteral("<span class=\"response\"><span class=\"ts\">%1</span>"
                                        "<span class=\"cmdCode\">%2</span>"
                                        "<span class=\"cmdStr\">%3</span>"
                                        "<span class=\"resCode\">%4</span>"
                                        "<span class=\"resStr\">%5</span></span><br/>")
                             .arg(ts, hex, name, resCode, resName);
    const QString text = QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                             .arg(ts, -10)
                             .arg(hex, -10)
                             .arg(name, -40)
                             .arg(resCode, -10)
                             .arg(resName);
    if (textOut)
        *textOut = text;
    emit CommandProtocol(html, text);
}

eCommStatus CCommProtocol::ReceiveResponse(UByte* header, UByte expectedCode)
{
    for (;;) {
        // A short read must not show stale or uninitialised bytes in the trace.
        std::memset(header, 0, kResponseHeaderSize);
        const int got = _port->Read(header, kResponseHeaderSize);
        if (got != kResponseHeaderSize) {
            _port->Flush();
            QString text;
            TraceResponse(header, kTimedOut, &text);
            WarnQuoted(text);
            journal::Printf(stderr, journal::kWarning, "Wanted %d bytes, got %d.\n", kResponseHeaderSize, got);
            return kTimedOut;
        }
        if (header[0] == kUnknownCommandResponse) {
            _port->Flush();
            TraceResponse(header, kUnknownCommand);
            return kUnknownCommand;
        }
        if (header[0] != expectedCode) {
            _port->Flush();
            TraceResponse(header, kWrongResponse);
            return kWrongResponse;
        }
        if (header[3] == 0) {
            TraceResponse(header, kOK);
            return kOK;
        }
        if (header[3] != kBusyStatus) {
            _port->Flush();
            TraceResponse(header, kUnknownError);
            return kUnknownError;
        }
        TraceResponse(header, kNotDoneYet);
        // A busy answer may carry a payload; drop it. A length below the
        // header size carries none.
        const UWord length = ResponseLength(header);
        if (length > kResponseHeaderSize) {
            std::vector<UByte> drop(length - kResponseHeaderSize);
            _port->Read(drop.data(), std::uint32_t(drop.size()));
        }
        _busyUnits += 2;
        ReportProgress();
    }
}

void CCommProtocol::ReportProgress()
{
    const ULWord done = _busyUnits + _chunksSent;
    const ULWord whole = _busyUnits + _expectedUnits;
    // Nothing to report while no amount of work is known.
    if (whole == 0 || !_progress)
        return;
    _progress->SetProgress(float(done) / float(whole));
}

void CCommProtocol::PrepareProgress(ULWord expected)
{
    _busyUnits = 0;
    _chunksSent = 0;
    _expectedUnits = 0;
    if (_progress)
        _progress->SetProgress(0.0f);
    _expectedUnits = expected;
}

void CCommProtocol::RescaleProgress(ULWord expected)
{
    // Keeps the fraction already shown while the unit changes to chunks.
    if (_expectedUnits != 0)
        _busyUnits = ULWord(float(expected) * float(_busyUnits) / float(_expectedUnits));
    else
        _busyUnits = 0;
    _expectedUnits = expected;
}

int CCommProtocol::SendPacket(const UByte* packet, int length)
{
    const qint64 time = Now();
    if (!_port->Write(packet, length))
        return kCommWriteFailed;
    TraceCommand(packet[0], time);
    return kOK;
}

int CCommProtocol::Transact(const UByte* packet, int length, bool flushFirst, UByte* header)
{
    if (flushFirst)
        _port->Flush();
    const int sent = SendPacket(packet, length);
    if (sent != kOK)
        return sent;
    const int status = ReceiveResponse(header, UByte(packet[0] + kResponseCodeOffset));
    if (status != kOK) {
        _port->Flush();
        return status;
    }
    return kOK;
}

int CCommProtocol::ExpectLength(const UByte* header, UWord length)
{
    if (ResponseLength(header) != length) {
        _port->Flush();
        return kBadCmdByteCount;
    }
    return kOK;
}

int CCommProtocol::ReadField(UByte* buffer, ULWord count)
{
    if (count == 0)
        return kOK;
    const int got = _port->Read(buffer, count);
    if (got < 0 || ULWord(got) != count) {
        _port->Flush();
        return kTimedOut;
    }
    return kOK;
}

int CCommProtocol::ReadCount(int width, ULWord least, ULWord most, int refusal, ULWord& count)
{
    UByte field[2] = {0, 0};
    const int status = ReadField(field, ULWord(width));
    if (status != kOK)
        return status;
    const ULWord value = width == 2 ? wire::GetWord(field) : field[0];
    if (value < least || value > most) {
        _port->Flush();
        return refusal;
    }
    count = value;
    return kOK;
}
