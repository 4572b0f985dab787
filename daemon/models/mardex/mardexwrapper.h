// The Mardex ROI scaler (module type 14, DisplayPort input): the shared
// ROI scaler wrapper with Mardex's own slots, EDID flow-through and the
// monitor name among them.
#ifndef PORTVANE_MODELS_MARDEXWRAPPER_H
#define PORTVANE_MODELS_MARDEXWRAPPER_H

#include "roiscaler/wrapper/slotwrapper.h"
#include "tovikconfig/models/mardexparamids.h"

class MardexWrapper : public RoiSlotWrapper {
    Q_OBJECT
public:
    MardexWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord, QObject* parent = nullptr);
    static DeviceWrapper* Make(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                               QObject* parent);

public slots:
    void MardexUpdateConfig() { UpdateConfig(); }
    void StartConfigTimerMardex() { StartConfigTimer(); }
    void StartConfigTimerMinTimeMardex() { StartConfigTimerMinTime(); }
    void UpdateInMardexProxy(int x, int y, int w, int h) { UpdateInProxy(x, y, w, h); }
    void UpdateInMardexProxy() { UpdateInProxy(); }
    void UpdateOutMardexProxy(int x, int y, int w, int h) { UpdateOutProxy(x, y, w, h); }
    void UpdateOutMardexProxy() { UpdateOutProxy(); }
    void UpdateFitFromPreferences(int& x, int& y, int& w, int& h, int screenW, int screenH)
    {
        RoiScalerWrapper::UpdateFitFromPreferences(x, y, w, h, screenW, screenH);
    }
    void UpdateInfoTab(const CModuleType& moduleRecord) { RoiScalerWrapper::UpdateInfoTab(moduleRecord); }
    void UpdateGenlockTab(CMardex* block, bool force)
    {
        if (block)
            RoiScalerWrapper::UpdateGenlockTab(force);
    }
    void UpdateAudioTab(CMardex* block, bool force)
    {
        if (block)
            RoiScalerWrapper::UpdateAudioTab(force);
    }
    void UpdateBackgroundColor(CMardex* block, bool force)
    {
        if (block)
            RoiScalerWrapper::UpdateBackgroundColor(force);
    }
    void SelectDpConversion(int value) { SelectAudioConversion(value); }
    void SelectEDID(int value) { RoiScalerWrapper::SelectEDID(value); }
    QString GetEdidName() { return RoiScalerWrapper::GetEdidName(); }
    void GetFpgaInRoiGeometry(int& x, int& y, int& w, int& h)
    {
        RoiScalerWrapper::GetFpgaInRoiGeometry(x, y, w, h);
    }
    QString GetScreenProxy(tovikconfig::mardex::RoiType_t roitype) { return RoiScalerWrapper::GetScreenProxy(roitype); }
};

#endif
