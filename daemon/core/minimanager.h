// The box's four device slots: finds converters for free slots, keeps the
// box's device-slot parameters in step and frees a slot when its handler
// goes away.
#ifndef PORTVANE_MINIMANAGER_H
#define PORTVANE_MINIMANAGER_H

#include <QObject>
#include <QVector>

#include "miniscanner.h"

class CAppIF;
class ConfigServer;
class QTimer;
class ConfigWrapper;
class WrapperSource;
class ZiruDodorav;

class MiniManager : public QObject {
    Q_OBJECT
public:
    static constexpr int kSlotCount = 4;
    // Connection status of a free slot ("No Device").
    static constexpr quint32 kFreeSlotStatus = 1;

    // The scanner relays the platform's hot-plug signals; the source finds
    // the converters. Both outlive the manager.
    MiniManager(CAppIF* platform, WrapperSource* source, QObject* parent = nullptr);
    ~MiniManager() override;

    // The handler in a slot (0-based), or null.
    ZiruDodorav* HandlerAt(int slot) const;
    ConfigWrapper* MainConfig() const { return _mainCfg; }
    // False when the converters' configs cannot be served (the port is
    // taken): the manager then touched neither the store nor a port.
    bool IsServing() const;

public slots:
    void MiniLeft(QObject* handler);
    void ScanMinis();
    void DeviceNameChanged(QObject* handler);

private slots:
    // Hot-plug: every port is looked at again.
    void DeviceAdded();

private:
    void InitDeviceParamIds();
    void InitMiniCount();
    void AdjustMiniCount(int delta);
    // The count's id, or 0 with a message when config 0 does not know it.
    quint32 DeviceCountId();
    void PublishFreeSlot(int slot);
    int SlotOf(QObject* handler) const;
    bool HasFreeSlot() const;
    // Scans again when a port whose converter failed is due, while a slot
    // is free.
    void ScheduleProbe();

    MiniScanner _scanner;
    WrapperSource* _source;
    QVector<ZiruDodorav*> _handlers;
    ConfigWrapper* _mainCfg;
    ConfigServer* _server;
    QTimer* _probeTimer;
};

#endif
