#include "zirudodorav.h"

#include "configwrapper.h"
#include "devicewrapper.h"
#include "tovikconfig/boxparamids.h"
#include "wrappersource.h"

ZiruDodorav* ZiruDodorav::Create(WrapperSource& source, const int& configId, QObject* parent)
{
    quint32 code = 0;
    DeviceWrapper* wrapper = source.CreateDeviceWrapper(&code, nullptr);
    if (!wrapper)
        return nullptr;
    return new ZiruDodorav(code, wrapper, configId, parent);
}

ZiruDodorav::ZiruDodorav(quint32 connectionStatus, DeviceWrapper* wrapper, const int& configId,
                         QObject* parent)
    : QObject(parent), _config(nullptr), _wrapper(wrapper), _configId(configId),
      _connectionStatus(connectionStatus)
{
    if (_wrapper) {
        _wrapper->setParent(this);
        _wrapper->InitDeviceDescriptors(_configId);
    }

    _config = new ConfigWrapper(_configId, this);
    _config->Connect();
    _config->SetParamValue(quint32(tovikconfig::eParamID_CxnStatus), _connectionStatus);

    if (!_wrapper)
        return;
    connect(_config, &ConfigWrapper::ParamValueChanged, _wrapper, &DeviceWrapper::SetParam);
    connect(_wrapper, &DeviceWrapper::DeviceStateUpdated, _config, &ConfigWrapper::SetConfigState);
    connect(_wrapper, &DeviceWrapper::CommError, this, &QObject::deleteLater);
    connect(_wrapper, &DeviceWrapper::ModuleNameChange, this, &ZiruDodorav::ModuleNameChanged);

    // A loss reported while the wrapper was being built reached nobody.
    if (_wrapper->HasCommError())
        deleteLater();
}

ZiruDodorav::~ZiruDodorav()
{
    // Store events arrive on the store's thread; the connection is released
    // before the wrapper they are queued to goes away.
    delete _config;
    _config = nullptr;
}

quint32 ZiruDodorav::GetTypeCode() const
{
    return _wrapper ? _wrapper->GetTypeCode() : DeviceWrapper::kOtherTypeCode;
}

QString ZiruDodorav::GetSerialNumber() const
{
    return _wrapper ? _wrapper->GetSerialNumber() : QString();
}

QString ZiruDodorav::GetModuleName() const
{
    return _wrapper ? _wrapper->GetModuleName() : QString();
}

void ZiruDodorav::ModuleNameChanged()
{
    emit DeviceNameChange(this);
}
