// Base of the per-model device wrappers: holds what the device factory made
// for one converter and the model's configuration block, brings the device
// up, polls its 64-byte status image every second and answers the identity
// questions of the device-slot manager.
#ifndef PORTVANE_DEVICEWRAPPER_H
#define PORTVANE_DEVICEWRAPPER_H

#include <QObject>
#include <QString>
#include <QVariant>

#include "configdevicestate.h"
#include "lumo/lumotimestamp.h"
#include "tovikconfig/paramtypes.h"

class AssemblyRecords;
class CCmdEngine;
class CConfigBlockIF;
class CModuleType;
class QTimer;

class DeviceWrapper : public QObject {
    Q_OBJECT
public:
    static constexpr int kStatusImageSize = 64;
    static constexpr int kStatusPeriodMs = 1000;
    // Type code published for module types without a model number of their own.
    static constexpr quint32 kOtherTypeCode = 23;

    DeviceWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                  QObject* parent = nullptr);
    ~DeviceWrapper() override;

    virtual void StartDevice();
    virtual void ReadDeviceConfig();
    virtual void PollStatus();
    virtual void ReadStatusBlock();
    virtual void StopDevice();
    virtual bool UpdateFirmware();
    virtual QString GetSerialNumber();
    virtual quint32 GetTypeCode();
    virtual QString GetModuleName();
    virtual QString GetFirmwareVersion();
    virtual QString GetReleaseVersion();
    virtual void InitDeviceDescriptors(int configId) = 0;

    // (status image[index] & mask) >> shift; 0 past the image or for a
    // shift of 8 or more.
    UByte GetStatusBits(UByte index, UByte mask, UByte shift) const;

    // The model number published for a module type.
    static quint32 TypeCodeForModuleType(int moduleType);

    // True once the wrapper reported the loss of its converter, also when
    // that happened before anyone was connected to CommError().
    bool HasCommError() const { return _commErrorRaised; }
    bool IsLinkUp() const { return _connected; }
    bool IsConfigReadFailed() const { return _configReadFailed; }

signals:
    void DeviceStateUpdated(ConfigDeviceState_t newState);
    void CommError();
    void ModuleNameChange();

public slots:
    virtual void SetParam(quint32 id, const QVariant& value, const LumoTimeStamp& ts) = 0;
    virtual void InitDevice() = 0;
    virtual void UpdateDevice() = 0;
    virtual void UpdateDeviceStatus() = 0;
    virtual void DisconnectDevice() = 0;
    virtual void StatusTimer();
    void StartStatusTimer();

protected:
    bool EngineConnected() const;
    // The flags and follow-up of a configuration read that gave result.
    void ApplyConfigReadResult(int result);

    CConfigBlockIF* _configBlock;
    AssemblyRecords* _assemblyRecords;
    CCmdEngine* _engine;
    CModuleType* _moduleRecord;
    ConfigDeviceState_t _state;
    bool _busy;
    bool _connected;
    QTimer* _statusTimer;
    UByte _statusImage[kStatusImageSize];
    QString _serialCache;
    bool _configReadFailed;
    // Whether the last ReadStatusBlock filled the whole image.
    bool _statusReadOk;
    bool _commErrorRaised;
};

#endif
