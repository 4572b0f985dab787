// The wrapper of a converter model whose parameters are its identity only:
// firmware version, release version and serial number, published under
// the model's id base | 1, 2 and 3. It applies no setting and decodes no
// status; a model with a log text writes one debug line per parameter
// change. The device factory builds none of these wrappers.
//
//   inline constexpr char kGravoSetParamLog[] = "Gravo set param";
//   using GravoWrapper = VersionOnlyWrapper<5, CGravo, kGravoSetParamLog>;
//   DeviceWrapper* w = new GravoWrapper(engine, records, moduleRecord, parent);
#ifndef PORTVANE_MODELS_VERSIONONLYWRAPPER_H
#define PORTVANE_MODELS_VERSIONONLYWRAPPER_H

#include "wrappersupport/debugline.h"
#include "wrappersupport/modeldescriptors.h"
#include "devicewrapper.h"
#include "tovikconfig/models/converterparamids.h"

// The log text of a model whose parameter changes write nothing.
inline constexpr char kNoSetParamLog[] = "";

// Model: the model number of the descriptor table; Block: the model's
// configuration block class; SetParamLog: the text that begins the debug
// line of a parameter change, or kNoSetParamLog.
template <tovikconfig::ViveRode_t Model, class Block, const char* SetParamLog = kNoSetParamLog>
class VersionOnlyWrapper : public DeviceWrapper {
public:
    static constexpr tovikconfig::ViveRode_t kModelNumber = Model;
    static constexpr quint32 kIDBase = tovikconfig::ConverterParamIDBase(Model);

    // Takes over the engine and both records, creates the model's block on
    // FPGA 0, block 0, and starts the device.
    VersionOnlyWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                       QObject* parent = nullptr)
        : DeviceWrapper(engine, records, moduleRecord, parent)
    {
        _configBlock = new Block(_engine, 0, 0);
        StartDevice();
    }

    void InitDeviceDescriptors(int configId) override { FillModelDescriptors(configId, kModelNumber); }

    void SetParam(quint32 id, const QVariant& value, const LumoTimeStamp&) override
    {
        if (*SetParamLog != '\0')
            DebugLine() << SetParamLog << id << "value " << value;
    }

    void InitDevice() override {}

    void UpdateDevice() override
    {
        if (!EngineConnected() || !_connected || _busy)
            return;
        _state.insert(kIDBase | tovikconfig::kFpgaVersionIndex, QVariant(GetFirmwareVersion()));
        _state.insert(kIDBase | tovikconfig::kReleaseVersionIndex, QVariant(GetReleaseVersion()));
        _state.insert(kIDBase | tovikconfig::kSerialNumberIndex, QVariant(GetSerialNumber()));
    }

    void UpdateDeviceStatus() override {}

    void DisconnectDevice() override { StopDevice(); }
};

#endif
