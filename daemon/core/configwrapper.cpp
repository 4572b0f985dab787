#include "configwrapper.h"

#include <QMutexLocker>
#include <QTimer>

#include <algorithm>

#include "paramlink/configfactory.h"
#include "paramlink/configlink.h"
#include "paramlink/descriptortable.h"
#include "quoteddebug.h"

ConfigWrapper::ConfigWrapper(const int& configId, QObject* parent)
    : QObject(parent), _config(nullptr), _configId(configId), _linkTimer(new QTimer(this)),
      _retryMs(kFirstRetryMs), _inFlightEvents(0), _inFlightBytes(0), _releasePosted(false)
{
    _linkTimer->setSingleShot(true);
    connect(_linkTimer, &QTimer::timeout, this, &ConfigWrapper::CheckLink);
    // Queued behind each event's delivery, so it counts what is waiting.
    connect(this, &ConfigWrapper::ParamValueChanged, this, &ConfigWrapper::Delivered, Qt::QueuedConnection);
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

bool ConfigWrapper::IsRemote() const
{
    return UrlFor(_configId).startsWith(QLatin1String("socket://"));
}

bool ConfigWrapper::Connect()
{
    Release();
    _linkTimer->stop();
    const std::string url = UrlFor(_configId).toLatin1().toStdString();
    Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig(url, std::string());
    if (!config) {
        _retryMs = kFirstRetryMs;
        RetryLater();
        return false;
    }
    Attach(config);
    return true;
}

bool ConfigWrapper::IsConnected() const
{
    return _config && ConfigConnected(_config);
}

void ConfigWrapper::Attach(Config* config)
{
    _config = config;
    _config->AddEventListener(this);
    _retryMs = kFirstRetryMs;
    if (IsRemote())
        _linkTimer->start(kLinkCheckMs);
    Republish();
}

void ConfigWrapper::RetryLater()
{
    if (!IsRemote())
        return;
    _linkTimer->start(_retryMs);
    _retryMs = std::min(_retryMs * 2, kMaxRetryMs);
}

void ConfigWrapper::NoticeLoss()
{
    if (_config && !ConfigConnected(_config))
        _linkTimer->start(0);
}

void ConfigWrapper::CheckLink()
{
    if (_config) {
        if (ConfigConnected(_config)) {
            _linkTimer->start(kLinkCheckMs);
            return;
        }
        WarnQuoted(QString("Connection to config %1 lost, reconnecting").arg(_configId));
        Release();
        _retryMs = kFirstRetryMs;
    }
    std::string error;
    Config* config = TryCreateConfig(UrlFor(_configId).toLatin1().toStdString(), error);
    if (!config) {
        RetryLater();
        return;
    }
    WarnQuoted(QString("Connection to config %1 made again").arg(_configId));
    Attach(config);
}

void ConfigWrapper::Republish()
{
    QHash<uint, QVariant> values;
    {
        QMutexLocker lock(&_cacheMutex);
        // What a former link still owed never comes; the store's values are
        // learnt anew before anything is written.
        values.swap(_cache);
        _pending.clear();
    }
    QList<uint> ids = values.keys();
    std::sort(ids.begin(), ids.end());
    for (uint id : ids)
        Write(id, values.value(id));
}

ParamDescriptor* ConfigWrapper::GetParamDescriptor(eParam_t id)
{
    if (_config)
        return _config->GetParamDescriptor(id);
    return DescriptorRegistry::GetDescriptorTable(eConfigID_t(_configId))->GetDescriptor(id);
}

ParamDescriptor* ConfigWrapper::GetParamDescriptor(const QString& idName)
{
    const std::string name = idName.toLatin1().toStdString();
    if (_config)
        return _config->GetParamDescriptor(name);
    return DescriptorRegistry::GetDescriptorTable(eConfigID_t(_configId))->GetDescriptor(name);
}

bool ConfigWrapper::Send(quint32 id, const QVariant& value)
{
    switch (int(value.type())) {
    case QMetaType::QString:
        return _config->SetStringValue(eParam_t(id), value.toString().toLatin1().toStdString());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return _config->SetDataValue(eParam_t(id), std::string(bytes.constData(), size_t(bytes.size())));
    }
    default:
        return _config->SetIntegerValue(eParam_t(id), int(value.toUInt()));
    }
}

void ConfigWrapper::LearnStoreValue(quint32 id, const QVariant& like)
{
    {
        QMutexLocker lock(&_cacheMutex);
        if (_cache.contains(id))
            return;
    }
    QVariant stored;
    std::string bytes;
    int number = 0;
    switch (int(like.type())) {
    case QMetaType::QString:
        if (!_config->GetStringValue(eParam_t(id), bytes))
            return;
        stored = QString::fromLatin1(bytes.data(), int(bytes.size()));
        break;
    case QMetaType::QByteArray:
        if (!_config->GetDataValue(eParam_t(id), bytes))
            return;
        stored = QByteArray(bytes.data(), int(bytes.size()));
        break;
    default:
        if (!_config->GetIntegerValue(eParam_t(id), number))
            return;
        stored = uint(number);
        break;
    }
    QMutexLocker lock(&_cacheMutex);
    // A change reported meanwhile is newer than what was read.
    if (!_cache.contains(id))
        _cache.insert(id, stored);
}

// A write is sent only when it changes the store's value as far as the
// daemon knows, so each one sent comes back as a change carrying its value:
// its own, or one made by another client just before that left nothing to
// change. Until then other changes of the id are older than the write.
bool ConfigWrapper::Write(quint32 id, const QVariant& value)
{
    if (!IsConnected()) {
        QMutexLocker lock(&_cacheMutex);
        _cache.insert(id, value);
        lock.unlock();
        NoticeLoss();
        return false;
    }
    // The first write of an id: the store may hold the value already, and
    // would then report no change.
    LearnStoreValue(id, value);

    QVariant previous;
    bool hadPrevious = false;
    {
        QMutexLocker lock(&_cacheMutex);
        auto it = _cache.constFind(id);
        if (it != _cache.constEnd()) {
            if (it.value() == value)
                return true;
            previous = it.value();
            hadPrevious = true;
        }
        _cache.insert(id, value);
        _pending[id].append(value);
    }
    if (Send(id, value))
        return true;

    const bool lost = !IsConnected();
    {
        QMutexLocker lock(&_cacheMutex);
        auto pending = _pending.find(id);
        if (pending != _pending.end()) {
            const int at = pending->lastIndexOf(value);
            if (at >= 0)
                pending->removeAt(at);
            if (pending->isEmpty())
                _pending.erase(pending);
        }
        // Refused: the store keeps what it had. Lost: the value is written
        // once the store is back.
        if (!lost) {
            if (hadPrevious)
                _cache.insert(id, previous);
            else
                _cache.remove(id);
        }
    }
    if (lost)
        NoticeLoss();
    return false;
}

bool ConfigWrapper::SetParamValue(quint32 id, quint32 value)
{
    return Write(id, QVariant(uint(value)));
}

bool ConfigWrapper::SetParamValue(quint32 id, const QByteArray& value)
{
    return Write(id, QVariant(value));
}

bool ConfigWrapper::SetParamValue(quint32 id, const QString& value)
{
    // Cached as the store will hold it, so its change compares equal.
    return Write(id, QVariant(QString::fromLatin1(value.toLatin1())));
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
    if (!IsConnected()) {
        value = 0;
        return true;
    }
    int tmp = 0;
    _config->GetIntegerValue(eParam_t(id), tmp);
    QMutexLocker lock(&_cacheMutex);
    // A change reported while the store was read is newer.
    auto it = _cache.constFind(id);
    if (it == _cache.constEnd())
        it = _cache.insert(id, QVariant(uint(tmp)));
    value = it.value().toInt();
    return true;
}

void ConfigWrapper::Report(quint32 id, const QVariant& value, const timeval& when)
{
    {
        QMutexLocker lock(&_cacheMutex);
        auto pending = _pending.find(id);
        if (pending != _pending.end()) {
            // Changes come back in the store's order: the oldest own write's
            // change ends its wait; any other value was made before the own
            // writes still on their way, which replace it.
            if (pending->first() == value) {
                pending->removeFirst();
                if (pending->isEmpty())
                    _pending.erase(pending);
            }
            return;
        }
        auto it = _cache.constFind(id);
        if (it != _cache.constEnd() && it.value() == value)
            return;
        _cache.insert(id, value);
        if (!_heldBack.isEmpty() || _inFlightEvents >= kMaxInFlightEvents || _inFlightBytes >= kMaxInFlightBytes) {
            if (!_heldBack.contains(id))
                _heldBackOrder.append(id);
            _heldBack.insert(id, qMakePair(value, LumoTimeStamp(when)));
            return;
        }
        ++_inFlightEvents;
        _inFlightBytes += Footprint(value);
    }
    emit ParamValueChanged(id, value, LumoTimeStamp(when));
}

qint64 ConfigWrapper::Footprint(const QVariant& value)
{
    switch (int(value.type())) {
    case QMetaType::QString:
        return 64 + 2 * qint64(value.toString().size());
    case QMetaType::QByteArray:
        return 64 + qint64(value.toByteArray().size());
    default:
        return 64;
    }
}

void ConfigWrapper::Delivered(quint32, const QVariant& value)
{
    QMutexLocker lock(&_cacheMutex);
    --_inFlightEvents;
    _inFlightBytes -= Footprint(value);
    if (_heldBack.isEmpty() || _releasePosted || _inFlightEvents > kMaxInFlightEvents / 2 ||
        _inFlightBytes > kMaxInFlightBytes / 2)
        return;
    // Behind what is still queued, so that the order holds.
    _releasePosted = true;
    QMetaObject::invokeMethod(this, &ConfigWrapper::ReleaseHeldBack, Qt::QueuedConnection);
}

void ConfigWrapper::ReleaseHeldBack()
{
    QList<QPair<quint32, QPair<QVariant, LumoTimeStamp>>> release;
    {
        QMutexLocker lock(&_cacheMutex);
        _releasePosted = false;
        for (uint id : _heldBackOrder) {
            const QPair<QVariant, LumoTimeStamp> event = _heldBack.value(id);
            release.append(qMakePair(quint32(id), event));
            ++_inFlightEvents;
            _inFlightBytes += Footprint(event.first);
        }
        _heldBack.clear();
        _heldBackOrder.clear();
    }
    for (const auto& event : release)
        emit ParamValueChanged(event.first, event.second.first, event.second.second);
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
