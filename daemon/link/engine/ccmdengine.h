// The box's handle on one converter: owns its serial port, speaks the
// protocol, identifies the converter, keeps its module record and routes
// the wrappers' configuration blocks to it.
#ifndef PORTVANE_CCMDENGINE_H
#define PORTVANE_CCMDENGINE_H

#include <istream>

#include <QObject>
#include <QString>

#include "catalog/cmoduletype.h"
#include "catalog/cversion.h"
#include "engine/engineresults.h"
#include "engine/statusmap.h"
#include "engine/tracelog.h"
#include "protocol/ccommprotocol.h"
#include "protocol/cprogressif.h"
#include "base/bytetypes.h"

class AssemblyRecords;
class CAppIF;
class CConfigBlockIF;
class CErrorReportIF;
class CModuleTypes;
class CSerialIF;

class CCmdEngine : public QObject, public CProgressIF {
    Q_OBJECT
public:
    // Each trace log keeps at most this many characters of recent lines.
    static constexpr int kTraceLogLimit = 64 * 1024;
    // Start addresses of the two fixed lookup-table targets on interface 1.
    static const ULWord kLUTSlotStart[2];

    // Takes ownership of port. The platform gives the resource directory,
    // the description readers, the run-mode queries and the notifications.
    CCmdEngine(CSerialIF* port, CErrorReportIF* errorSink, CAppIF* platform, int moduleType,
               QObject* parent = nullptr);
    ~CCmdEngine() override;

    CCmdEngine(const CCmdEngine&) = delete;
    CCmdEngine& operator=(const CCmdEngine&) = delete;

    // Identifies the converter on the open port and fills the module record.
    // An empty expectedSerial accepts any serial id.
    int Open(const QString& expectedSerial);
    // Gives the link up: the platform is told, the port closed, and the
    // engine no longer counts as connected.
    void CloseLink();

    bool IsConnected() const { return _connected; }
    void SetConnected(bool connected) { _connected = connected; }
    // Set by a successful ReadConfiguration, cleared by a failed one.
    bool IsConfigValid() const { return _configValid; }

    CSerialIF* GetSerialIF() { return _port; }
    CErrorReportIF* GetErrorReport() { return _errorSink; }
    CAppIF* GetPlatform() { return _platform; }
    CCommProtocol& GetCommProtocol() { return _comm; }
    CModuleType& GetModuleType() { return _module; }
    const CModuleType& GetModuleType() const { return _module; }
    const CModuleTypes* GetCatalogue() const { return _catalogue; }

    // Configuration blocks.
    void AttachConfigBlock(CConfigBlockIF* block);
    // 0, or -9 when a block could not be read.
    int ReadConfiguration();
    // 0 when the module has no such block, else 1.
    int WriteConfigBlock(UByte fpgaId, UByte blockId);
    int StreamOutConfigBlock(UByte fpgaId, UByte blockId);

    // Direct register access.
    int ReadDeviceDataImmediate(UByte interfaceId, UByte deviceId, ULWord address, UByte* data,
                                UByte count);
    int WriteDeviceDataImmediate(UByte interfaceId, UByte deviceId, ULWord address,
                                 const UByte* data, UByte count);
    int ReadRegister(UByte interfaceId, UByte deviceId, ULWord address, UByte* value);
    int WriteRegister(UByte interfaceId, UByte deviceId, ULWord address, UByte value);

    // Fills records from the type's assembly description; leaves them as
    // they were when the type is not in the catalogue.
    void LoadAssemblies(int moduleType, AssemblyRecords* records);

    // Identity writes and reads.
    int WriteModuleName(const QString& name);
    int ReadModuleName(QString& name);
    // Reads the name into the module record.
    int ReadModuleName();
    int WriteModuleInfo();
    int WriteReleaseVersion(UByte major, UByte minor);
    int WriteBoardAssemblyID(const QString& id);
    int WriteSerialID(const QString& serial);
    int ReadSerialID(QString& serial);
    int ChangeModuleType(int moduleType, const CVersion& release);
    int Reset();

    // Firmware updates.
    int UpdateSafeBootFirmware(std::istream& source, UWord size);
    int UpdateAppFirmware(std::istream& source, UWord size);
    int UpdateFPGAFirmware(UByte fpgaId, std::istream& source, ULWord size, UWord chunkSize);
    int UpdateLUTFirmware(UByte fpgaId, UByte tableId, std::istream& source, ULWord size);
    // One of the two fixed lookup-table targets (slot 0 or 1).
    int UpdateLUTFirmwareSlot(int slot, std::istream& source, ULWord size);

    // Single parameters of a configuration block, by the module record's
    // parameter entries. 0 without sending when the entry is missing.
    int Set(ULWord paramId, UByte fpgaId, UByte blockId, UByte value);
    int Set(ULWord paramId, UByte fpgaId, UByte blockId, UWord value);
    int Set(ULWord paramId, UByte fpgaId, UByte blockId, ULWord value);
    int ReadParameter(ULWord paramId, UByte fpgaId, UByte blockId, UByte& value);

    // Reads each FPGA's firmware version until one fails; the low 8 bits of
    // major + minor of the last one read (0 when none was).
    UByte ProbeFPGAVersion();

    // Refreshes the firmware versions of the record's FPGAs and tables.
    void ReadFirmwareVersions();

    void SetProgress(float value) override;
    float GetProgress() override;

    // Command trace, off by default.
    void SetTraceOn(bool on) { _traceOn = on; }
    bool IsTraceOn() const { return _traceOn; }
    const QString& GetHtmlLog() const { return _htmlLog.Text(); }
    const QString& GetTextLog() const { return _textLog.Text(); }

public slots:
    void DebugCommandProtocol(const QString& html, const QString& text);

private:
    // Reads the module information into the record; false on failure.
    bool ReadModuleInfo();
    // Sends the record's module description; the protocol status.
    int SendModuleInfo();
    // Loads the type's description for the given release into the record.
    void SetModuleType(int moduleType, const CVersion& release);
    bool UsesLongModuleName() const;
    bool IsPrivilegedRunMode() const;
    QString ResourceDir() const;
    // The parameter entry, or null when the FPGA, block or entry is missing.
    const CModuleTypeParam* FindParam(ULWord paramId, UByte fpgaId, UByte blockId);
    int SetBytes(ULWord paramId, UByte fpgaId, UByte blockId, ULWord value, int width);

    CSerialIF* _port;
    CErrorReportIF* _errorSink;
    CAppIF* _platform;
    CCommProtocol _comm;
    CModuleType _module;
    CModuleTypes* _catalogue;
    bool _connected = false;
    bool _configValid = false;
    float _progress = 0.0f;
    TraceLog _htmlLog;
    TraceLog _textLog;
    bool _traceOn = false;
};

#endif
