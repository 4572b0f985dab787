#include "configwrapper.h"

#include <QMutexLocker>
#include <QTimer>

#include <algorithm>

#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "base/quoteddebug.h"
#include "storevalue.h"

ConfigWrapper::ConfigWrapper(const int& configId, QObject* parent)
    : QObject(parent), _config(nullptr), _configId(configId), _retryTimer(new QTimer(this)),
      _retryMs(kFirstRetryMs)
{
    _retryTimer->setSingleShot(true);
    connect(_retryTimer, &QTimer::timeout, this, &ConfigWrapper::Retry);
}

ConfigWrapper::~ConfigWrapper()
{
    Release();
}

void ConfigWrapper::Release()
{
    if (_config) {
        RemoveLinkListener(_config, this);
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
    _retryTimer->stop();
    const std::string url = UrlFor(_configId).toLatin1().toStdString();
    Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig(url, std::string());
    if (!config) {
        _retryMs = kFirstRetryMs;
        if (IsRemote())
            _retryTimer->start(_retryMs);
        return false;
    }
    Attach(config);
    return true;
}

void ConfigWrapper::Retry()
{
    std::string error;
    Config* config = TryCreateConfig(UrlFor(_configId).toLatin1().toStdString(), error);
    if (!config) {
        _retryMs = std::min(_retryMs * 2, kMaxRetryMs);
        _retryTimer->start(_retryMs);
        return;
    }
    WarnQuoted(QString("Connection to config %1 made again").arg(_configId));
    Attach(config);
}

bool ConfigWrapper::IsConnected() const
{
    return _config && ConfigConnected(_config);
}

void ConfigWrapper::Attach(Config* config)
{
    _config = config;
    _config->AddEventListener(this);
    AddLinkListener(_config, this);
    Republish();
}

void ConfigWrapper::LinkLost(Config*)
{
    QMetaObject::invokeMethod(this, &ConfigWrapper::ReportLost, Qt::QueuedConnection);
}

void ConfigWrapper::LinkRestored(Config*)
{
    QMetaObject::invokeMethod(this, &ConfigWrapper::ReportRestored, Qt::QueuedConnection);
}

void ConfigWrapper::ReportLost()
{
    WarnQuoted(QString("Connection to config %1 lost, reconnecting").arg(_configId));
}

void ConfigWrapper::ReportRestored()
{
    WarnQuoted(QString("Connection to config %1 made again").arg(_configId));
    Republish();
}

void ConfigWrapper::Republish()
{
    QHash<uint, QVariant> values;
    {
        QMutexLocker lock(&_cacheMutex);
        values = _ownValues;
        // Sequence numbers and origins of a former link mean nothing on
        // this one, nor do values heard from a store that may have gone
        // since.
        _lastOwnWrite.clear();
        _heard.clear();
        for (auto it = _cache.begin(); it != _cache.end();)
            it = _ownValues.contains(it.key()) ? std::next(it) : _cache.erase(it);
    }
    QList<uint> ids = values.keys();
    std::sort(ids.begin(), ids.end());
    for (uint id : ids)
        Put(id, values.value(id));
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

ConfigWrapper::Sent ConfigWrapper::Send(quint32 id, const QVariant& value, const EventOrigin* lastHeard,
                                        quint32& sequence)
{
    ValueKind kind = ValueKind::Integer;
    StoreKindOf(value, kind);
    std::int32_t number = 0;
    std::string bytes;
    switch (kind) {
    case ValueKind::String:
        bytes = value.toString().toLatin1().toStdString();
        break;
    case ValueKind::Data: {
        const QByteArray data = value.toByteArray();
        bytes.assign(data.constData(), size_t(data.size()));
        break;
    }
    case ValueKind::Integer:
        number = std::int32_t(value.toUInt());
        break;
    }
    Sent sent = Sent::Failed;
    if (lastHeard) {
        switch (SetValueUnlessChangedSince(_config, eParam_t(id), kind, number, bytes, *lastHeard)) {
        case ConditionalSet::Written:
            sent = Sent::Stored;
            break;
        case ConditionalSet::GaveWay:
            sent = Sent::GaveWay;
            break;
        case ConditionalSet::Failed:
            break;
        }
    } else {
        bool accepted = false;
        if (kind == ValueKind::String)
            accepted = _config->SetStringValue(eParam_t(id), std::move(bytes));
        else if (kind == ValueKind::Data)
            accepted = _config->SetDataValue(eParam_t(id), std::move(bytes));
        else
            accepted = _config->SetIntegerValue(eParam_t(id), number);
        sent = accepted ? Sent::Stored : Sent::Failed;
    }
    LastWriteSequence(_config, sequence);
    return sent;
}

bool ConfigWrapper::Write(quint32 id, const QVariant& value, Waiting waiting)
{
    const bool connected = IsConnected();
    EventOrigin lastHeard;
    {
        QMutexLocker lock(&_cacheMutex);
        // Another writer's newer value is in the store, and the listeners
        // have yet to hear of it; the cache already holds it.
        if (waiting == Waiting::GiveWay && _backlog.Holds(id))
            return true;
        if (!connected) {
            _cache.insert(id, value);
            _ownValues.insert(id, value);
            return false;
        }
        auto it = _cache.constFind(id);
        if (it != _cache.constEnd() && it.value() == value) {
            _ownValues.insert(id, value);
            return true;
        }
        lastHeard = _heard.value(id);
    }
    // A change whose event has not come in yet is known to the store only:
    // a config of this process gives way there, under the store's lock.
    const bool storeDecides = waiting == Waiting::GiveWay && !IsRemote();
    switch (Put(id, value, storeDecides ? &lastHeard : nullptr)) {
    case Sent::Failed:
        return false;
    case Sent::GaveWay:
        // The newer change reaches the listeners in turn.
        return true;
    case Sent::Stored:
        break;
    }
    QMutexLocker lock(&_cacheMutex);
    _ownValues.insert(id, value);
    return true;
}

ConfigWrapper::Sent ConfigWrapper::Put(quint32 id, const QVariant& value, const EventOrigin* lastHeard)
{
    quint32 othersTaken = 0;
    {
        QMutexLocker lock(&_cacheMutex);
        othersTaken = _othersTaken.value(id);
    }
    quint32 sequence = 0;
    const Sent sent = Send(id, value, lastHeard, sequence);
    if (sent == Sent::GaveWay)
        return sent;
    if (sent == Sent::Failed) {
        // Refused, the store keeps what it had and so does the cache; lost,
        // the value waits until the link stands again.
        if (!IsConnected()) {
            QMutexLocker lock(&_cacheMutex);
            _cache.insert(id, value);
            _ownValues.insert(id, value);
        }
        return sent;
    }
    QMutexLocker lock(&_cacheMutex);
    _lastOwnWrite.insert(id, sequence);
    // A change of another writer taken while the write was on its way:
    // the store's order tells which is newer, and its events follow that
    // order (the write's echo after an older change puts the write in the
    // cache; a newer change comes after the echo and stays). A change the
    // store took just before a plain write, whose event had not come in at
    // the check, is overwritten: it waits in the backlog, the listeners
    // hear it in turn, and what they publish from it differs from the
    // cache (the echo) and is written. A conditional write gives way to it
    // instead.
    if (_othersTaken.value(id) == othersTaken)
        _cache.insert(id, value);
    return sent;
}

bool ConfigWrapper::SetParamValue(quint32 id, quint32 value)
{
    return Write(id, StoreForm(QVariant(uint(value)), ValueKind::Integer));
}

bool ConfigWrapper::SetParamValue(quint32 id, const QByteArray& value)
{
    return Write(id, StoreForm(QVariant(value), ValueKind::Data));
}

bool ConfigWrapper::SetParamValue(quint32 id, const QString& value)
{
    return Write(id, StoreForm(QVariant(value), ValueKind::String));
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
    EventOrigin origin;
    const bool known = CurrentEventOrigin(origin);
    const bool own = known && origin.own;
    bool wake = false;
    {
        QMutexLocker lock(&_cacheMutex);
        if (known)
            _heard.insert(id, origin);
        if (own) {
            // The echo of the daemon's own write: the cache follows it
            // unless a later write of the daemon is still to come.
            auto last = _lastOwnWrite.constFind(id);
            if (last == _lastOwnWrite.constEnd() || qint32(origin.sequence - last.value()) >= 0)
                _cache.insert(id, value);
            return;
        }
        auto it = _cache.constFind(id);
        if (it != _cache.constEnd() && it.value() == value)
            return;
        _cache.insert(id, value);
        ++_othersTaken[id];
        // Under the cache's lock: a write that finds the value in the cache
        // finds it waiting too.
        wake = _backlog.Add(id, value, LumoTimeStamp(when));
    }
    if (wake)
        QMetaObject::invokeMethod(this, &ConfigWrapper::DeliverNext, Qt::QueuedConnection);
}

void ConfigWrapper::DeliverNext()
{
    EventBacklog::Event event;
    bool more = false;
    if (!_backlog.Take(event, more))
        return;
    // One change per turn of the event loop: the rest keep folding, and
    // the daemon's other work goes on between them.
    if (more)
        QMetaObject::invokeMethod(this, &ConfigWrapper::DeliverNext, Qt::QueuedConnection);
    emit ParamValueChanged(event.id, event.value, event.when);
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
        ValueKind kind;
        // Signed and other kinds have no setter here.
        if (StoreKindOf(it.value(), kind))
            Write(it.key(), StoreForm(it.value(), kind), Waiting::GiveWay);
    }
}
