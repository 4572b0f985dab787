// The daemon's connection to one config of the parameter store. Store
// events become ParamValueChanged; values go out through typed setters. A
// cache of the last value per id drops unchanged writes and the echo of the
// daemon's own writes.
//
// Events wait for the main thread in its event queue. When the main thread
// falls behind a burst (more than kMaxInFlightEvents events or
// kMaxInFlightBytes of values waiting), further events wait in a table with
// the newest value per id instead, and follow once the queue has drained
// to half: memory stays bounded however fast clients write.
//
// The box's store (config 0) runs in another process and may go away: the
// link is then tried again with a growing pause, and once it stands again
// every cached value is written back, so the restarted store shows what the
// daemon knows. Values written meanwhile wait in the cache.
#ifndef PORTVANE_CONFIGWRAPPER_H
#define PORTVANE_CONFIGWRAPPER_H

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariant>

#include "configdevicestate.h"
#include "lumo/lumotimestamp.h"
#include "paramlink/config.h"

class ParamDescriptor;
class QTimer;

class ConfigWrapper : public QObject, public ConfigEventListener {
    Q_OBJECT
public:
    // TCP port of the box's own store (config 0).
    static constexpr int kMainConfigPort = 43110;
    // While the link to another process's store stands, it is checked this
    // often...
    static constexpr int kLinkCheckMs = 1000;
    // ...and once lost, tried again after this pause, doubled per failed
    // attempt up to the last.
    static constexpr int kFirstRetryMs = 250;
    static constexpr int kMaxRetryMs = 4000;
    static constexpr int kMaxInFlightEvents = 256;
    static constexpr qint64 kMaxInFlightBytes = 1024 * 1024;

    ConfigWrapper(const int& configId, QObject* parent = nullptr);
    ~ConfigWrapper() override;

    // The store URL of a config id.
    static QString UrlFor(int configId);

    // True when the store handed out a connection. When it did not, a
    // config of another process's store is tried again later.
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

public slots:
    void SetConfigState(const ConfigDeviceState_t state);

signals:
    void ParamValueChanged(quint32 id, const QVariant& value, const LumoTimeStamp& ts);

private slots:
    // Looks for a lost link, or tries to make one again.
    void CheckLink();
    // One event reached the main thread; events held back follow when the
    // queue has drained.
    void Delivered(quint32 id, const QVariant& value);
    void ReleaseHeldBack();

private:
    void Release();
    // Takes a new connection into use and writes the cache back to it.
    void Attach(Config* config);
    void RetryLater();
    bool IsRemote() const;
    // Checks the link at once when a write found it lost.
    void NoticeLoss();

    bool Write(quint32 id, const QVariant& value);
    // The value through the setter of its type.
    bool Send(quint32 id, const QVariant& value);
    // The store's value of an id not cached yet, of the type of like.
    void LearnStoreValue(quint32 id, const QVariant& like);
    void Republish();
    void Report(quint32 id, const QVariant& value, const timeval& when);
    static qint64 Footprint(const QVariant& value);

    Config* _config;
    int _configId;
    QTimer* _linkTimer;
    int _retryMs;
    // Guards the two below; never held across a store call.
    QMutex _cacheMutex;
    QHash<uint, QVariant> _cache;
    // The daemon's own writes per id whose change has not come back from
    // the store yet, oldest first.
    QHash<uint, QList<QVariant>> _pending;
    // Events on their way to the main thread, and the newest value per id
    // of those held back meanwhile, in the order of their ids' first event.
    int _inFlightEvents;
    qint64 _inFlightBytes;
    QHash<uint, QPair<QVariant, LumoTimeStamp>> _heldBack;
    QList<uint> _heldBackOrder;
    bool _releasePosted;
};

#endif
