// The Pendro ROI scaler (module type 18, DVI or HDMI input; its parameter
// ids have a base of their own): the shared ROI scaler wrapper with
// Pendro's own slots, the three input queries among them.
#ifndef PORTVANE_MODELS_PENDROWRAPPER_H
#define PORTVANE_MODELS_PENDROWRAPPER_H

#include "roiscaler/wrapper/slotwrapper.h"
#include "tovikconfig/models/pendroparamids.h"

class PendroWrapper : public RoiSlotWrapper {
    Q_OBJECT
public:
    PendroWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord, QObject* parent = nullptr);
    static DeviceWrapper* Make(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                               QObject* parent);

public slots:
    void PendroUpdateConfig() { UpdateConfig(); }
    void StartConfigTimerPendro() { StartConfigTimer(); }
    void StartConfigTimerMinTimePendro() { StartConfigTimerMinTime(); }
    void UpdateInPendroProxy(int x, int y, int w, int h) { UpdateInProxy(x, y, w, h); }
    void UpdateInPendroProxy() { UpdateInProxy(); }
    void UpdateOutPendroProxy(int x, int y, int w, int h) { UpdateOutProxy(x, y, w, h); }
    void UpdateOutPendroProxy() { UpdateOutProxy(); }
    void UpdateRoiFitFromPreferences(int& x, int& y, int& w, int& h, int screenW, int screenH)
    {
        UpdateFitFromPreferences(x, y, w, h, screenW, screenH);
    }
    void UpdateRoiInfoTab(const CModuleType& moduleRecord) { UpdateInfoTab(moduleRecord); }
    void UpdateRoiGenlockTab(CPendro* block, bool force)
    {
        if (block)
            UpdateGenlockTab(force);
    }
    void UpdateAudioTab(CPendro* block, bool force)
    {
        if (block)
            RoiScalerWrapper::UpdateAudioTab(force);
    }
    void UpdateBackgroundColor(CPendro* block, bool force)
    {
        if (block)
            RoiScalerWrapper::UpdateBackgroundColor(force);
    }
    void SelectHdmiConversion(int value) { SelectAudioConversion(value); }
    void GetFpgaInRoiGeometry(int& x, int& y, int& w, int& h)
    {
        RoiScalerWrapper::GetFpgaInRoiGeometry(x, y, w, h);
    }
    bool GetRoiInConnected() { return RoiScalerWrapper::GetRoiInConnected(); }
    bool GetRoiFormatMatches() { return RoiScalerWrapper::GetRoiFormatMatches(); }
    bool GetRoiInConnectedAndFormatMatches() { return RoiScalerWrapper::GetRoiInConnectedAndFormatMatches(); }
    QString GetScreenProxy(tovikconfig::pendro::RoiType_t roitype) { return RoiScalerWrapper::GetScreenProxy(roitype); }
};

#endif
