#include "configwrapper.h"

#include <QMutexLocker>

#include "paramlink/configfactory.h"

ConfigWrapper::ConfigWrapper(const int& configId, QObject* parent)
    : QObject(parent), _config(nullptr), _configId(configId)
{
}

ConfigWrapper::~ConfigWrapper()
{
    Release();
}

void ConfigWrapper::Release()
{
    if (_config) {
        // Waits for a callback in progress; none starts afterwards.
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(_config);
        _config = nullptr;
    }
}

QString ConfigWrapper::UrlFor(int configId)
{
    if (configId == 0)
        return QString("socket://127.0.0.1:%1/caching=true&configid=%2").arg(kMainConfigPort).arg(configId);
    return QString("local://configid=%1").arg(configId);
}

bool ConfigWrapper::Connect()
{
    Release();
    const std::string url = UrlFor(_configId).toLatin1().toStdString();
    _config = ConfigFactoryImpl::GetInstance()->CreateConfig(url, std::string());
    if (_config)
        _config->AddEventListener(this);
    return _config != nullptr;
}

ParamDescriptor* ConfigWrapper::GetParamDescriptor(eParam_t id)
{
    return _config ? _config->GetParamDescriptor(id) : nullptr;
}

ParamDescriptor* ConfigWrapper::GetParamDescriptor(const QString& idName)
{
    return _config ? _config->GetParamDescriptor(idName.toLatin1().toStdString()) : nullptr;
}

bool ConfigWrapper::StoreIfChanged(quint32 id, const QVariant& value)
{
    QMutexLocker lock(&_cacheMutex);
    auto it = _cache.constFind(id);
    if (it != _cache.constEnd() && it.value() == value)
        return false;
    _cache.insert(id, value);
    return true;
}

bool ConfigWrapper::SetParamValue(quint32 id, quint32 value)
{
    if (!_config)
        return false;
    if (!StoreIfChanged(id, QVariant(uint(value))))
        return true;
    return _config->SetIntegerValue(eParam_t(id), int(value));
}

bool ConfigWrapper::SetParamValue(quint32 id, const QByteArray& value)
{
    if (!_config)
        return false;
    if (!StoreIfChanged(id, QVariant(value)))
        return true;
    return _config->SetDataValue(eParam_t(id), std::string(value.constData(), size_t(value.size())));
}

bool ConfigWrapper::SetParamValue(quint32 id, const QString& value)
{
    if (!_config)
        return false;
    if (!StoreIfChanged(id, QVariant(value)))
        return true;
    return _config->SetStringValue(eParam_t(id), value.toLatin1().toStdString());
}

bool ConfigWrapper::GetParamValue(quint32 id, int& value)
{
    {
        QMutexLocker lock(&_cacheMutex);
        auto it = _cache.constFind(id);
        if (it != _cache.constEnd()) {
            value = it.value().toInt();
            return true;
        }
    }
    if (!_config) {
        value = 0;
        return true;
    }
    int tmp = 0;
    _config->GetIntegerValue(eParam_t(id), tmp);
    {
        QMutexLocker lock(&_cacheMutex);
        _cache.insert(id, QVariant(uint(tmp)));
    }
    value = tmp;
    return true;
}

void ConfigWrapper::Report(quint32 id, const QVariant& value, const timeval& when)
{
    if (StoreIfChanged(id, value))
        emit ParamValueChanged(id, value, LumoTimeStamp(when));
}

int ConfigWrapper::IntegerChanged(eParam_t id, int value, timeval when)
{
    Report(id, QVariant(uint(value)), when);
    return 0;
}

int ConfigWrapper::StringChanged(eParam_t id, std::string& value, timeval when)
{
    Report(id, QVariant(QString::fromLatin1(value.data(), int(value.size()))), when);
    return 0;
}

int ConfigWrapper::DataChanged(eParam_t id, std::string& bytes, timeval when)
{
    Report(id, QVariant(QByteArray(bytes.data(), int(bytes.size()))), when);
    return 0;
}

void ConfigWrapper::SetConfigState(const ConfigDeviceState_t state)
{
    if (!_config || state.isEmpty())
        return;
    for (auto it = state.constBegin(); it != state.constEnd(); ++it) {
        const QVariant& value = it.value();
        switch (int(value.type())) {
        case QMetaType::QString:
            SetParamValue(it.key(), value.toString());
            break;
        case QMetaType::Bool:
        case QMetaType::UInt:
            SetParamValue(it.key(), quint32(value.toUInt()));
            break;
        case QMetaType::QByteArray:
            SetParamValue(it.key(), value.toByteArray());
            break;
        default:
            // Signed and other kinds have no setter here.
            break;
        }
    }
}
