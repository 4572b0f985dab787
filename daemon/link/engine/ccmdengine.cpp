// Construction, identification and the module-type step.
#include "engine/ccmdengine.h"

#include <cstdio>

#include "journalstream.h"
#include "catalog/assemblyrecords.h"
#include "catalog/cassembliesxml.h"
#include "catalog/cmoduletypes.h"
#include "catalog/cmoduletypexml.h"
#include "catalog/descriptionpaths.h"
#include "platform/cappif.h"
#include "serial/cserialif.h"

namespace {

const int kSupportedProtocolVersion = 1;
const int kHighestModuleType = 33;
// The module has its description in place.
const int kModuleStateConfigured = 1;

// What an erased serial field reads as.
QString BlankSerial()
{
    return QString(CCommProtocol::kSerialIDWidth, QChar(0xFF));
}

} // namespace

CCmdEngine::CCmdEngine(CSerialIF* port, CErrorReportIF* errorSink, CAppIF* platform,
                       int moduleType, QObject* parent)
    : QObject(parent),
      _port(port),
      _errorSink(errorSink),
      _platform(platform),
      _comm(port, this, nullptr),
      _catalogue(nullptr),
      _htmlLog(kTraceLogLimit, QStringLiteral("<br/>")),
      _textLog(kTraceLogLimit, QStringLiteral("\n"))
{
    connect(&_comm, &CCommProtocol::CommandProtocol, this, &CCmdEngine::DebugCommandProtocol);
    _catalogue = new CModuleTypes(ResourceDir());
    _catalogue->FindTypes();
    SetModuleType(moduleType, CVersion::_nullVersion);
}

CCmdEngine::~CCmdEngine()
{
    delete _port;
    delete _catalogue;
}

QString CCmdEngine::ResourceDir() const
{
    return _platform ? _platform->GetResourceDir() : QString();
}

bool CCmdEngine::IsPrivilegedRunMode() const
{
    return _platform && (_platform->IsRunModeAbove1() || _platform->IsRunModeAbove2());
}

int CCmdEngine::Open(const QString& expectedSerial)
{
    // Every converter starts from a fresh record: nothing of a converter
    // seen earlier on another port may carry over.
    _module = CModuleType();
    _connected = false;
    _configValid = false;

    UByte protocolVersion = 0;
    int status = _comm.ReadProtocolVersion(protocolVersion);
    if (status != kOK) {
        journal::Printf(stderr, journal::kWarning, "ReadProtocolVersion failed %d\n", status);
        return kEngineProtocolVersionFailed;
    }
    if (protocolVersion != kSupportedProtocolVersion)
        return kEngineProtocolMismatch;

    if (!ReadModuleInfo())
        return kEngineNoModuleInfo;
    _connected = true;

    if (_module._moduleState != kModuleStateConfigured) {
        _module._moduleTypeID = 0;
        _module._boardAssemblyID.clear();
        _module._moduleName.clear();
        _module._serialID.clear();
        _module._releaseVersion = CVersion(0, 0);
        SetModuleType(0, CVersion::_nullVersion);
        if (_platform)
            _platform->NotifyNewConnection();
        return kEngineOK;
    }

    // The text and version reads leave their presets when they fail.
    QString serial;
    _comm.ReadSerialID(serial);
    _module._serialID = serial;
    if (!expectedSerial.isEmpty() && expectedSerial != serial && serial != BlankSerial())
        return kEngineWrongModule;

    UByte major = 255, minor = 255;
    _comm.ReadReleaseVersion(major, minor);
    _module._releaseVersion = CVersion(major, minor);

    QString board;
    _comm.ReadBoardAssemblyID(board);
    _module._boardAssemblyID = board;

    ULWord typeId = 0;
    status = _comm.ReadModuleTypeID(typeId);
    if (status != kOK)
        return MapCommStatus(StatusMapping::ModuleTypeRead, status);

    int type = int(typeId);
    if (type != 0) {
        if (_catalogue->HasType(type)) {
            _module._moduleTypeID = type;
        } else if (IsPrivilegedRunMode()) {
            type = 0;
            _module._moduleTypeID = 0;
        } else {
            _connected = false;
            return type > kHighestModuleType ? kEngineBadModuleType : kEngineTypeNotInstalled;
        }
    }
    SetModuleType(type, _module._releaseVersion);

    QString name;
    _comm.ReadModuleName(name);
    _module._moduleName = name;

    ReadFirmwareVersions();
    const int result = ReadConfiguration();
    if (_platform)
        _platform->NotifyNewConnection();
    return result;
}

void CCmdEngine::CloseLink()
{
    if (_platform)
        _platform->CloseLink();
    if (_port)
        _port->Close();
    _connected = false;
}

void CCmdEngine::SetModuleType(int moduleType, const CVersion& release)
{
    if (!_catalogue->HasType(moduleType))
        return;
    AssemblyRecords records;
    LoadAssemblies(moduleType, &records);
    const CAssembly* assembly = records.FindByRelease(release);
    if (assembly && _platform) {
        const QString file = DescriptionPaths::ModuleTypeFile(ResourceDir(), assembly->_moduleTypeFile);
        CModuleTypeXML* reader = file.isEmpty() ? nullptr : _platform->CreateModuleTypeXML();
        if (file.isEmpty())
            DescriptionPaths::ReportOutside(assembly->_moduleTypeFile, DescriptionPaths::TypesDir(ResourceDir()));
        if (reader) {
            _module.Load(reader, file);
            delete reader;
        }
    }
    _module._moduleTypeID = moduleType;
    if (_platform)
        _platform->NotifyModuleTypeChange();
}

void CCmdEngine::LoadAssemblies(int moduleType, AssemblyRecords* records)
{
    if (!records || !_catalogue->HasType(moduleType) || !_platform)
        return;
    const QString path = _catalogue->FindType(moduleType) + tr("assembly.xml");
    CAssembliesXML* reader = _platform->CreateAssembliesXML();
    if (!reader)
        return;
    if (!reader->load(path))
        reader->takeError();
    records->Fill(reader);
    delete reader;
}

void CCmdEngine::ReadFirmwareVersions()
{
    for (UByte fpgaId : _module.FPGAIds()) {
        CModuleTypeFPGA* fpga = _module.FindFPGA(fpgaId);
        const UByte interfaceId = UByte(fpga->_interfaceID);
        const UByte deviceId = UByte(fpga->_deviceID);
        UByte major = 0, minor = 0;
        if (_comm.ReadFPGAFirmwareVersion(interfaceId, deviceId,
                                          UWord(fpga->_firmware._revisionStart), major, minor) != kOK)
            return;
        fpga->_firmware.version = CVersion(major, minor);
        for (UByte tableId : fpga->LookupTableIds()) {
            CModuleTypeLookupTable* table = fpga->FindLookupTable(tableId);
            if (_comm.ReadLUTFirmwareVersion(interfaceId, deviceId, table->_id,
                                             ULWord(table->_start + 1), major, minor) == kOK)
                table->version = CVersion(major, minor);
        }
    }
}

void CCmdEngine::SetProgress(float value)
{
    _progress = value;
}

float CCmdEngine::GetProgress()
{
    return _progress;
}

void CCmdEngine::DebugCommandProtocol(const QString& html, const QString& text)
{
    if (!_traceOn)
        return;
    _htmlLog.Append(html);
    _textLog.Append(text);
}
