// The Quastel ROI scaler (module type 19, HDMI input): the shared ROI
// scaler wrapper with Quastel's own slots.
#ifndef PORTVANE_MODELS_QUASTELWRAPPER_H
#define PORTVANE_MODELS_QUASTELWRAPPER_H

#include "roiscaler/wrapper/slotwrapper.h"
#include "tovikconfig/models/quastelparamids.h"

class QuastelWrapper : public RoiSlotWrapper {
    Q_OBJECT
public:
    QuastelWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord, QObject* parent = nullptr);
    static DeviceWrapper* Make(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                               QObject* parent);

public slots:
    void QuastelUpdateConfig() { UpdateConfig(); }
    void StartConfigTimerQuastel() { StartConfigTimer(); }
    void StartConfigTimerMinTimeQuastel() { StartConfigTimerMinTime(); }
    void UpdateInQuastelProxy(int x, int y, int w, int h) { UpdateInProxy(x, y, w, h); }
    void UpdateInQuastelProxy() { UpdateInProxy(); }
    void UpdateOutQuastelProxy(int x, int y, int w, int h) { UpdateOutProxy(x, y, w, h); }
    void UpdateOutQuastelProxy() { UpdateOutProxy(); }
    void UpdateFitFromPreferences(int& x, int& y, int& w, int& h, int screenW, int screenH)
    {
        RoiScalerWrapper::UpdateFitFromPreferences(x, y, w, h, screenW, screenH);
    }
    void UpdateInfoTab(const CModuleType& moduleRecord) { RoiScalerWrapper::UpdateInfoTab(moduleRecord); }
    void UpdateGenlockTab(CQuastel* block, bool force)
    {
        if (block)
            RoiScalerWrapper::UpdateGenlockTab(force);
    }
    void UpdateAudioTab(CQuastel* block, bool force)
    {
        if (block)
            RoiScalerWrapper::UpdateAudioTab(force);
    }
    void UpdateBackgroundColor(CQuastel* block, bool force)
    {
        if (block)
            RoiScalerWrapper::UpdateBackgroundColor(force);
    }
    void SelectHdmiConversion(int value) { SelectAudioConversion(value); }
    QString GetScreenProxy(tovikconfig::quastel::RoiType_t roitype)
    {
        return RoiScalerWrapper::GetScreenProxy(roitype);
    }
};

#endif
