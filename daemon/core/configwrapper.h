// The daemon's connection to one config of the parameter store. Store
// events become ParamValueChanged; values go out through typed setters. A
// cache of the last value per id drops unchanged writes and the echo of the
// daemon's own writes.
#ifndef PORTVANE_CONFIGWRAPPER_H
#define PORTVANE_CONFIGWRAPPER_H

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariant>

#include "configdevicestate.h"
#include "lumo/lumotimestamp.h"
#include "paramlink/config.h"

class ParamDescriptor;

class ConfigWrapper : public QObject, public ConfigEventListener {
    Q_OBJECT
public:
    // TCP port of the box's own store (config 0).
    static constexpr int kMainConfigPort = 43110;

    ConfigWrapper(const int& configId, QObject* parent = nullptr);
    ~ConfigWrapper() override;

    // The store URL of a config id.
    static QString UrlFor(int configId);

    // True when the store handed out a connection.
    bool Connect();
    bool IsConnected() const { return _config != nullptr; }
    int GetConfigId() const { return _configId; }

    virtual ParamDescriptor* GetParamDescriptor(eParam_t id);
    virtual ParamDescriptor* GetParamDescriptor(const QString& idName);

    // Each returns the store's result, or true when the value equals the
    // cached one and nothing was sent.
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

private:
    void Release();
    // True (and cached) when value differs from the cache.
    bool StoreIfChanged(quint32 id, const QVariant& value);
    void Report(quint32 id, const QVariant& value, const timeval& when);

    Config* _config;
    int _configId;
    QHash<uint, QVariant> _cache;
    QMutex _cacheMutex;
};

#endif
