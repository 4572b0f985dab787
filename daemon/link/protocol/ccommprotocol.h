// The request/response protocol spoken with one converter over its serial
// port: framing, response reader, command trace and one operation per
// converter command.
#ifndef PORTVANE_CCOMMPROTOCOL_H
#define PORTVANE_CCOMMPROTOCOL_H

#include <cstdint>
#include <istream>

#include <QByteArray>
#include <QObject>
#include <QString>

#include "protocol/commcodes.h"
#include "base/bytetypes.h"

class CSerialIF;
class CProgressIF;

class CCommProtocol : public QObject {
    Q_OBJECT
public:
    // Widths of the converter's fixed text fields.
    static const int kModuleNameWidth = 8;
    static const int kLongModuleNameWidth = 16;
    static const int kBoardAssemblyIDWidth = 9;
    static const int kSerialIDWidth = 8;
    // Largest chunk whose length still fits the 16-bit length field of an
    // upload packet (5 header bytes).
    static const ULWord kMaxUploadChunk = 65530;
    // Largest chunk a download request can ask for.
    static const ULWord kMaxDownloadChunk = 65535;
    // Consecutive zero-byte download answers tolerated before giving up.
    static const int kMaxEmptyDownloadAnswers = 3;

    CCommProtocol(CSerialIF* port, CProgressIF* progress, QObject* parent = nullptr);
    ~CCommProtocol() override;

    // Reads and judges the response header of the command just sent.
    eCommStatus ReceiveResponse(UByte* header, UByte expectedCode);

    static QString CommandName(int code);
    static QString StatusName(int status);

    // Module identification. The module information reply goes to the
    // caller as raw payload bytes, for the module record to parse; the
    // module description sent is the bytes the module record wrote.
    static const int kModuleInfoSize = 5;
    int ReadProtocolVersion(UByte& version);
    int ReadModuleInfo(UByte (&payload)[kModuleInfoSize]);
    int WriteModuleInfo(const QByteArray& description);

    // Single-shot commands.
    int ReadModuleTypeID(ULWord& typeId);
    int WriteModuleTypeID(UByte typeId);
    int ReadFPGAFirmwareVersion(UByte interfaceId, UByte deviceId, UWord address,
                                UByte& major, UByte& minor);
    int ReadLUTFirmwareVersion(UByte interfaceId, UByte deviceId, UByte lutId, ULWord address,
                               UByte& major, UByte& minor);
    int WriteConfigParameter(UByte fpgaId, UByte blockId, UWord start, const UByte* data,
                             UWord length);
    int ReadConfigParameter(UByte fpgaId, UByte blockId, UWord start, UByte* buffer,
                            UWord length);
    int WriteReleaseVersion(UByte major, UByte minor);
    int ReadReleaseVersion(UByte& major, UByte& minor);
    int WriteModuleName(const QString& name);
    int WriteLongModuleName(const QString& name);
    int ReadModuleName(QString& name);
    int ReadLongModuleName(QString& name);
    int WriteBoardAssemblyID(const QString& id);
    int ReadBoardAssemblyID(QString& id);
    int WriteSerialID(const QString& serial);
    int ReadSerialID(QString& serial);
    int WriteDeviceDataImmediate(UByte interfaceId, UByte deviceId, ULWord address,
                                 const UByte* data, UByte count);
    int ReadDeviceDataImmediate(UByte interfaceId, UByte deviceId, ULWord address,
                                UByte* buffer, UByte count);
    int RefreshConfig(UByte fpgaId, UByte blockId);
    int Reset();

    // Chunked transfers.
    int SendData(std::istream& source, ULWord total, ULWord chunk);
    int SendData(const UByte* data, ULWord total, ULWord chunk);
    int RequestData(UByte* buffer, ULWord total, ULWord chunk);
    int TransferComplete();
    int Abort();

    // Transfer-opening commands.
    int ReadConfigData(UByte fpgaId, UByte blockId, UByte* buffer, UWord length);
    int WriteConfigData(UByte fpgaId, UByte blockId, const UByte* data, UWord length);
    int ReadDeviceData(UByte interfaceId, UByte deviceId, ULWord address, UByte* buffer,
                       ULWord count);
    int WriteDeviceData(UByte interfaceId, UByte deviceId, ULWord address, const UByte* data,
                        ULWord count);
    int WriteDeviceData(UByte interfaceId, UByte deviceId, ULWord address, std::istream& source,
                        ULWord count);
    int SafeBootFirmwareUpdate(std::istream& source, UWord size);
    int CNCAppFirmwareUpdate(std::istream& source, UWord size);
    int FPGAFirmwareUpdate(UByte interfaceId, UByte deviceId, ULWord start, std::istream& source,
                           ULWord size, UWord chunkOverride);
    int LUTFirmwareUpdate(UByte interfaceId, UByte deviceId, UByte lutDeviceId,
                          ULWord lutRegisterStart, ULWord lutStart, std::istream& source,
                          ULWord size);

    // A user's cancel request: the running (or next) upload sends Abort
    // before its next chunk.
    void SetAbortFlag(bool abort) { _abort = abort; }
    bool GetAbortFlag() const { return _abort; }

    ULWord GetBusyUnits() const { return _busyUnits; }
    ULWord GetChunksSent() const { return _chunksSent; }
    ULWord GetExpectedUnits() const { return _expectedUnits; }

signals:
    void CommandProtocol(const QString& html, const QString& text);

private:
    class Source;
    class BufferSource;
    class StreamSource;

    // Flushes when asked, writes the packet, traces it and reads the
    // response header; any failure after the write leaves the input flushed.
    int Transact(const UByte* packet, int length, bool flushFirst, UByte* header);
    // Writes one packet and emits its trace line; -24 when the write fails.
    int SendPacket(const UByte* packet, int length);
    // A fixed response length; otherwise flush and kBadCmdByteCount.
    int ExpectLength(const UByte* header, UWord length);
    // One read of exactly count bytes; otherwise flush and kTimedOut.
    int ReadField(UByte* buffer, ULWord count);
    // Reads a count field of width 1 or 2 bytes (most significant first)
    // into count; a count outside least..most is flushed and answered with
    // refusal.
    int ReadCount(int width, ULWord least, ULWord most, int refusal, ULWord& count);
    int SimpleCommand(const UByte* packet, int length, bool flushFirst);
    // Transact, then a response of exactly fieldLength payload bytes read
    // into field (none for a plain acknowledgement).
    int FixedReply(const UByte* packet, int length, bool flushFirst, UByte* field,
                   ULWord fieldLength);
    // Flushes, then checks the interface and that data is there for count.
    int CheckDeviceAccess(UByte interfaceId, const UByte* data, ULWord count);
    int WriteTextField(UByte code, const QString& text, int width);
    int ReadTextField(UByte code, QString& text, int width);
    int ReadVersionReply(const UByte* packet, int length, UByte& major, UByte& minor);

    // Opening command: sends, checks the response length and reads the
    // converter's chunk size (replaced by chunkOverride when not 0); a chunk
    // size of 0 is refused.
    enum LengthRule { kLengthAboveFive, kLengthSix };
    int OpenTransfer(const UByte* packet, int length, bool flushFirst, LengthRule rule,
                     bool flushOnBadLength, UWord& chunk, UWord chunkOverride = 0);
    int Upload(Source& source, ULWord total, ULWord chunk);
    // Prepares progress and opens a firmware update that names only its size.
    int OpenFirmwareUpdate(UByte code, UWord size, UWord& chunk);

    void PrepareProgress(ULWord expected);
    void RescaleProgress(ULWord expected);
    void ReportProgress();

    static UWord ResponseLength(const UByte* header);
    void TraceCommand(UByte code, qint64 time);
    // Emits the response line; hands the text line back when asked.
    void TraceResponse(const UByte* header, int result, QString* textOut = nullptr);
    qint64 Now() const;

    CSerialIF* _port;
    CProgressIF* _progress;
    bool _abort = false;
    ULWord _busyUnits = 0;
    ULWord _chunksSent = 0;
    ULWord _expectedUnits = 0;
    qint64 _traceStart = 0;
};

#endif
