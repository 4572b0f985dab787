// A model wrapper for tests: counts what the base calls and shows its state.
#ifndef PORTVANE_CORE_TEST_PROBEWRAPPER_H
#define PORTVANE_CORE_TEST_PROBEWRAPPER_H

#include <QList>
#include <QTimer>

#include "blocks/cconfigblockif.h"
#include "catalog/assemblyrecords.h"
#include "catalog/cmoduletype.h"
#include "devicewrapper.h"
#include "engine/ccmdengine.h"

// Configuration block 0 of FPGA 0 whose read succeeds or fails.
class ProbeBlock : public CConfigBlockIF {
public:
    explicit ProbeBlock(bool readFails) : CConfigBlockIF(0, 0), _readFails(readFails) {}
    void Reset() override {}
    bool SaveSettings(QSettings&) override { return true; }
    bool LoadSettings(QSettings&) override { return true; }
    int ReadFromDevice(CCommProtocol&) override
    {
        ++reads;
        return _readFails ? 0 : 41;
    }
    int WriteToDevice(CCommProtocol&) override { return 0; }
    int reads = 0;

private:
    bool _readFails;
};

class ProbeWrapper : public DeviceWrapper {
public:
    static constexpr quint32 kLastByteParam = 0x7F01;

    explicit ProbeWrapper(CCmdEngine* engine, CConfigBlockIF* block = nullptr, bool startNow = false)
        : DeviceWrapper(engine, new AssemblyRecords, new CModuleType, nullptr)
    {
        _configBlock = block;
        if (startNow)
            StartDevice();
    }

    void InitDeviceDescriptors(int configId) override { descriptorsFor.append(configId); }
    void SetParam(quint32 id, const QVariant& value, const LumoTimeStamp&) override
    {
        params.append(qMakePair(id, value));
    }
    void InitDevice() override { ++initDevice; }
    void UpdateDevice() override { ++updateDevice; }
    void UpdateDeviceStatus() override
    {
        ++updateStatus;
        _state.insert(kLastByteParam, QVariant(uint(GetStatusBits(63, 0xFF, 0))));
    }
    void DisconnectDevice() override
    {
        ++disconnects;
        StopDevice();
    }

    using DeviceWrapper::ApplyConfigReadResult;
    QTimer* Timer() const { return _statusTimer; }
    void SetBusy(bool busy) { _busy = busy; }
    void SetImageByte(int index, UByte value) { _statusImage[index] = value; }
    void EmitModuleNameChange() { emit ModuleNameChange(); }
    void EmitState(const ConfigDeviceState_t& state) { emit DeviceStateUpdated(state); }
    void Lose() { StopDevice(); }
    void SetModuleNameForTest(const QString& name) { _engine->GetModuleType()._moduleName = name; }

    int initDevice = 0;
    int updateDevice = 0;
    int updateStatus = 0;
    int disconnects = 0;
    QList<int> descriptorsFor;
    QList<QPair<quint32, QVariant>> params;
};

#endif
