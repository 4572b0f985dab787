// Block routing, register access and the identity reads and writes.
#include "engine/ccmdengine.h"

#include <cstring>

#include "blocks/cconfigblockif.h"

namespace {

// Application image versions (major * 100 + minor) strictly between these
// take the 16-byte module name.
const int kLongNameAbove = 37;
const int kLongNameBelow = 100;
const int kModuleStateConfigured = 1;

} // namespace

void CCmdEngine::AttachConfigBlock(CConfigBlockIF* block)
{
    if (block)
        _module.AttachBlock(block);
}

int CCmdEngine::ReadConfiguration()
{
    _configValid = _module.ReadAllBlocks(_comm);
    return _configValid ? kEngineOK : kEngineConfigReadFailed;
}

int CCmdEngine::WriteConfigBlock(UByte fpgaId, UByte blockId)
{
    return _module.WriteBlock(fpgaId, blockId, _comm);
}

int CCmdEngine::StreamOutConfigBlock(UByte fpgaId, UByte blockId)
{
    return _module.StreamOutBlock(fpgaId, blockId, _comm);
}

int CCmdEngine::ReadDeviceDataImmediate(UByte interfaceId, UByte deviceId, ULWord address,
                                        UByte* data, UByte count)
{
    if (count > 0 && !data)
        return MapCommStatus(StatusMapping::DeviceData, kIllegalArgument);
    // The caller's buffer is written only when the whole read succeeded.
    UByte buffer[256];
    const int status = _comm.ReadDeviceDataImmediate(interfaceId, deviceId, address, buffer, count);
    if (status == kOK && count > 0)
        std::memcpy(data, buffer, count);
    return MapCommStatus(StatusMapping::DeviceData, status);
}

int CCmdEngine::WriteDeviceDataImmediate(UByte interfaceId, UByte deviceId, ULWord address,
                                         const UByte* data, UByte count)
{
    return MapCommStatus(StatusMapping::DeviceData,
                         _comm.WriteDeviceDataImmediate(interfaceId, deviceId, address, data, count));
}

int CCmdEngine::ReadRegister(UByte interfaceId, UByte deviceId, ULWord address, UByte* value)
{
    return ReadDeviceDataImmediate(interfaceId, deviceId, address, value, 1);
}

int CCmdEngine::WriteRegister(UByte interfaceId, UByte deviceId, ULWord address, UByte value)
{
    return WriteDeviceDataImmediate(interfaceId, deviceId, address, &value, 1);
}

bool CCmdEngine::UsesLongModuleName() const
{
    const CVersion& v = _module._cncAppVersion.version;
    const int hundredths = v.major * 100 + v.minor;
    return hundredths > kLongNameAbove && hundredths < kLongNameBelow;
}

int CCmdEngine::WriteModuleName(const QString& name)
{
    // The record keeps only a name the converter took.
    const QString previous = _module._moduleName;
    _module._moduleName = name;
    const int status = UsesLongModuleName() ? _comm.WriteLongModuleName(name)
                                            : _comm.WriteModuleName(name);
    if (status != kOK)
        _module._moduleName = previous;
    return MapCommStatus(StatusMapping::Base, status);
}

int CCmdEngine::ReadModuleName(QString& name)
{
    QString text;
    const int status = UsesLongModuleName() ? _comm.ReadLongModuleName(text)
                                            : _comm.ReadModuleName(text);
    if (status == kOK)
        name = text;
    return MapCommStatus(StatusMapping::Base, status);
}

int CCmdEngine::ReadModuleName()
{
    return ReadModuleName(_module._moduleName);
}

bool CCmdEngine::ReadModuleInfo()
{
    UByte payload[CCommProtocol::kModuleInfoSize];
    if (_comm.ReadModuleInfo(payload) != kOK)
        return false;
    _module.ParseInfoReply(payload, CCommProtocol::kModuleInfoSize);
    return true;
}

int CCmdEngine::SendModuleInfo()
{
    QByteArray description;
    _module.AppendInfo(description);
    return _comm.WriteModuleInfo(description);
}

int CCmdEngine::WriteModuleInfo()
{
    return MapCommStatus(StatusMapping::Base, SendModuleInfo());
}

int CCmdEngine::WriteReleaseVersion(UByte major, UByte minor)
{
    const int status = _comm.WriteReleaseVersion(major, minor);
    if (status == kOK)
        _module._releaseVersion = CVersion(major, minor);
    return MapCommStatus(StatusMapping::Base, status);
}

int CCmdEngine::WriteBoardAssemblyID(const QString& id)
{
    _module._boardAssemblyID = id;
    return MapCommStatus(StatusMapping::Base, _comm.WriteBoardAssemblyID(id));
}

int CCmdEngine::WriteSerialID(const QString& serial)
{
    _module._serialID = serial;
    return MapCommStatus(StatusMapping::Base, _comm.WriteSerialID(serial));
}

int CCmdEngine::ReadSerialID(QString& serial)
{
    QString text;
    const int status = _comm.ReadSerialID(text);
    if (status == kOK)
        serial = text;
    return MapCommStatus(StatusMapping::Base, status);
}

int CCmdEngine::ChangeModuleType(int moduleType, const CVersion& release)
{
    if (_module._moduleState != kModuleStateConfigured)
        return kEngineNoModuleDescription;
    if (moduleType < 0 || moduleType > 0xFF)
        return MapCommStatus(StatusMapping::Base, kIllegalArgument);
    int status = _comm.WriteModuleTypeID(UByte(moduleType));
    if (status != kOK)
        return MapCommStatus(StatusMapping::Base, status);
    if (_comm.WriteReleaseVersion(release.major, release.minor) == kOK)
        _module._releaseVersion = release;
    _module._moduleTypeID = moduleType;
    SetModuleType(moduleType, _module._releaseVersion);
    if (!ReadModuleInfo())
        return kEngineNoModuleInfo;
    SendModuleInfo();
    ReadFirmwareVersions();
    _module.WriteAllBlocks(_comm);
    return kEngineOK;
}

int CCmdEngine::Reset()
{
    return MapCommStatus(StatusMapping::Reset, _comm.Reset());
}
