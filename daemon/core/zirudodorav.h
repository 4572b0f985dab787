// The handler of one occupied device slot: owns the converter's wrapper and
// the store connection of the converter's config, and wires the two.
#ifndef PORTVANE_ZIRUDODORAV_H
#define PORTVANE_ZIRUDODORAV_H

#include <QObject>
#include <QString>

class ConfigWrapper;
class DeviceWrapper;
class WrapperSource;

class ZiruDodorav : public QObject {
    Q_OBJECT
public:
    // A handler for the next converter the source finds, or null when there
    // is none.
    static ZiruDodorav* Create(WrapperSource& source, const int& configId, QObject* parent);

    ZiruDodorav(quint32 connectionStatus, DeviceWrapper* wrapper, const int& configId,
                QObject* parent = nullptr);
    ~ZiruDodorav() override;

    quint32 GetTypeCode() const;
    QString GetSerialNumber() const;
    QString GetModuleName() const;
    quint32 GetConnectionStatus() const { return _connectionStatus; }
    int GetConfigId() const { return _configId; }
    ConfigWrapper* GetConfig() const { return _config; }
    DeviceWrapper* GetWrapper() const { return _wrapper; }

signals:
    void DeviceNameChange(QObject* handler);

public slots:
    void ModuleNameChanged();

private:
    ConfigWrapper* _config;
    DeviceWrapper* _wrapper;
    int _configId;
    quint32 _connectionStatus;
};

#endif
