// The daemon's connection to one config of the parameter store. Store
// events become ParamValueChanged, on the main thread, folded to the newest
// value per id while they wait for it (eventbacklog.h); values go out
// through typed setters. A cache of the store's value per id, kept in the
// store's order of changes, drops unchanged writes. The store says who
// wrote each change: the echoes of the daemon's own writes never come back
// as ParamValueChanged. A value the device wrapper publishes for an id
// whose newer change by another writer still waits for the main thread is
// not written: it would put an older value over one the store already
// acknowledged, and the waiting change is handled in turn. For a config of
// this process the store itself decides, under its lock, also for a change
// whose event has not come in yet (SetValueUnlessChangedSince).
//
// The box's store (config 0) runs in another process. While it cannot be
// had at start, it is asked for again with a growing pause; once had, the
// store library keeps the link through the store's restarts. Whenever the
// link stands again, the daemon writes back what it owns: the last value
// it wrote of each id, also those written while the link was away. Values
// it only heard from other writers are not written back: the store holds
// them, and a restarted store holds what was written to it since.
#ifndef PORTVANE_CONFIGWRAPPER_H
#define PORTVANE_CONFIGWRAPPER_H

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariant>

#include "configdevicestate.h"
#include "eventbacklog.h"
#include "lumo/lumotimestamp.h"
#include "paramlink/config.h"
#include "paramlink/configlink.h"

class ParamDescriptor;
class QTimer;

class ConfigWrapper : public QObject, public ConfigEventListener, public ConfigLinkListener {
    Q_OBJECT
public:
    // TCP port of the box's own store (config 0).
    static constexpr int kMainConfigPort = 43110;
    // A store that cannot be had is asked for again after this pause,
    // doubled per failed attempt up to the last.
    static constexpr int kFirstRetryMs = 250;
    static constexpr int kMaxRetryMs = 4000;

    ConfigWrapper(const int& configId, QObject* parent = nullptr);
    ~ConfigWrapper() override;

    // The store URL of a config id.
    static QString UrlFor(int configId);

    // True when the store handed out a connection. When it did not, a
    // config of another process's store is asked for again later.
    bool Connect();
    // True while the store can be reached.
    bool IsConnected() const;
    int GetConfigId() const { return _configId; }

    // The descriptors are this process's table, also while the store is
    // out of reach.
    virtual ParamDescriptor* GetParamDescriptor(eParam_t id);
    virtual ParamDescriptor* GetParamDescriptor(const QString& idName);

    // Each returns the store's result, or true when the value equals the
    // cached one and nothing was sent. While the store cannot be reached,
    // false: the value waits in the cache until it can.
    bool SetParamValue(quint32 id, quint32 value);
    bool SetParamValue(quint32 id, const QByteArray& value);
    bool SetParamValue(quint32 id, const QString& value);
    // Always true; the cache answers when it holds the id.
    bool GetParamValue(quint32 id, int& value);

    // Store callbacks, on the store library's thread.
    int IntegerChanged(eParam_t id, int value, timeval when) override;
    int StringChanged(eParam_t id, std::string& value, timeval when) override;
    int DataChanged(eParam_t id, std::string& bytes, timeval when) override;
    void LinkLost(Config* config) override;
    void LinkRestored(Config* config) override;

public slots:
    void SetConfigState(const ConfigDeviceState_t state);

signals:
    void ParamValueChanged(quint32 id, const QVariant& value, const LumoTimeStamp& ts);

private slots:
    // Asks for the config again after a failed Connect.
    void Retry();
    void ReportLost();
    void ReportRestored();
    // Hands the change that waited longest to the listeners, and asks to
    // be called again while more wait.
    void DeliverNext();

private:
    void Release();
    // Takes a new connection into use and writes the cache back to it.
    void Attach(Config* config);
    bool IsRemote() const;
    // Writes the daemon's own values to the store, whatever it holds now.
    void Republish();

    // Whether a write gives way to a newer change of another writer that
    // the main thread has not handed on yet.
    enum class Waiting { Overwrite, GiveWay };
    // value is in the store's form (StoreForm).
    bool Write(quint32 id, const QVariant& value, Waiting waiting = Waiting::Overwrite);
    enum class Sent { Stored, GaveWay, Failed };
    // Sends the value and lets the cache follow it; Failed when the store
    // did not take it (while the link is away the value waits). Given
    // lastHeard, the store writes nothing over a change of another writer
    // made since that one (GaveWay).
    Sent Put(quint32 id, const QVariant& value, const EventOrigin* lastHeard = nullptr);
    // The value through the setter of its kind (or the conditional set),
    // and the write's sequence number.
    Sent Send(quint32 id, const QVariant& value, const EventOrigin* lastHeard, quint32& sequence);
    void Report(quint32 id, const QVariant& value, const timeval& when);

    Config* _config;
    int _configId;
    QTimer* _retryTimer;
    int _retryMs;
    // Guards the five below and the additions to the backlog; never held
    // across a store call.
    QMutex _cacheMutex;
    QHash<uint, QVariant> _cache;
    // Per id, the daemon's last value written (or waiting for the link):
    // what it writes back when the link stands again.
    QHash<uint, QVariant> _ownValues;
    // Per id, how many changes by other writers the cache has taken, so a
    // write knows whether one came in while it was on its way.
    QHash<uint, quint32> _othersTaken;
    // Per id, the sequence number of the daemon's last write sent: the echo
    // of an older one is stale.
    QHash<uint, quint32> _lastOwnWrite;
    // Per id, the origin of the last change the listeners heard (the
    // daemon's own echoes and others' changes alike).
    QHash<uint, EventOrigin> _heard;
    // Other writers' changes not yet handed to the listeners.
    EventBacklog _backlog;
};

#endif
