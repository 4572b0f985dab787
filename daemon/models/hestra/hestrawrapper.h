// The Hestra ROI scaler (module type 5, DVI or HDMI input): the shared ROI
// scaler wrapper with Hestra's slots, which carry the model word. Hestra
// selects its input region by one index and has no rotation, frame delay
// or flips.
#ifndef PORTVANE_MODELS_HESTRAWRAPPER_H
#define PORTVANE_MODELS_HESTRAWRAPPER_H

#include "roiscaler/wrapper/wrapper.h"
#include "tovikconfig/models/hestraparamids.h"

class HestraWrapper : public RoiScalerWrapper {
    Q_OBJECT
public:
    HestraWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord, QObject* parent = nullptr);
    static DeviceWrapper* Make(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                               QObject* parent);

public slots:
    void HestraUpdateConfig() { UpdateConfig(); }
    void StartConfigTimerHestra() { StartConfigTimer(); }
    void StartConfigTimerMinTimeHestra() { StartConfigTimerMinTime(); }
    void SetHestraInputControlsEnable(bool enable) { SetInputControlsEnable(enable); }
    void SetHestraOutputControlsEnable(bool enable) { SetOutputControlsEnable(enable); }

    void HestraSelectSmpteRange(int value) { SelectSmpteRange(value); }
    void HestraSelectOutEdgeFiltering(bool on) { SelectOutEdgeFiltering(on); }
    void HestraSelectOutFlickerFiltering(bool on) { SelectOutFlickerFiltering(on); }
    void HestraSelectBackgroundColor(QString text) { SelectBackgroundColor(text); }
    void HestraSelectGenlockSource(int value) { SelectGenlockSource(value); }
    void HestraSelectHorizontalDelay(int value) { SelectHorizontalDelay(value); }
    void HestraSelectVerticalDelay(int value) { SelectVerticalDelay(value); }
    void HestraSelectAudio(int value) { SelectAudio(value); }
    void HestraSelectAnalogMap(int value) { SelectAnalogMap(value); }
    void HestraSelectHdmiConversion(int value) { SelectAudioConversion(value); }
    void HestraSelectModuleName(QString name) { SelectModuleName(name); }
    int GetAudioSelectIndexHestra() { return GetAudioSelectIndex(); }
    void GetHVDelayMaxHestra(int& hMax, int& vMax) { GetHVDelayMax(hMax, vMax); }
    void HestraTryHVDelayEnable() { TryHVDelayEnable(); }

    void UpdateHestraInfoTab(const CModuleType& moduleRecord) { UpdateInfoTab(moduleRecord); }
    void UpdateHestraGenlockTab(CHestra* block, bool force)
    {
        if (block)
            UpdateGenlockTab(force);
    }
    void UpdateAudioTab(CHestra* block, bool force)
    {
        if (block)
            RoiScalerWrapper::UpdateAudioTab(force);
    }
    void UpdateBackgroundColor(CHestra* block, bool force)
    {
        if (block)
            RoiScalerWrapper::UpdateBackgroundColor(force);
    }

    void AdjustHestraForPixelAspectRatio(int& w, int& h) { AdjustRoiForPixelAspectRatio(w, h); }
    void UpdateHestraFitFromPreferences(int& x, int& y, int& w, int& h, int screenW, int screenH)
    {
        UpdateFitFromPreferences(x, y, w, h, screenW, screenH);
    }
    void CalcOutputMappingHestra(int fit, int x, int y, int w, int h, int outW, int outH, QRect& out)
    {
        CalcOutputMapping(fit, x, y, w, h, outW, outH, out);
    }
    void UpdateInHestraProxy(int x, int y, int w, int h) { UpdateInProxy(x, y, w, h); }
    void UpdateInHestraProxy() { UpdateInProxy(); }
    void UpdateOutHestraProxy(int x, int y, int w, int h) { UpdateOutProxy(x, y, w, h); }
    void UpdateOutHestraProxy() { UpdateOutProxy(); }
    void HestraSelectRoiFit(int fit, bool usePrefs) { SelectRoiFit(fit, usePrefs); }
    void HestraSelectInXOffset(int x) { SelectInXOffset(x); }
    void HestraSelectInYOffset(int y) { SelectInYOffset(y); }
    void HestraSelectInWidth(int w) { SelectInWidth(w); }
    void HestraSelectInHeight(int h) { SelectInHeight(h); }
    void HestraSelectOutXOffset(int x) { SelectOutXOffset(x); }
    void HestraSelectOutYOffset(int y) { SelectOutYOffset(y); }
    void HestraSelectOutWidth(int w) { SelectOutWidth(w); }
    void HestraSelectOutHeight(int h) { SelectOutHeight(h); }
    void HestraCenterRoiButtonChanged() { CenterRoiButtonChanged(); }
    void HestraCenterOutputButtonChanged() { CenterOutputButtonChanged(); }
    void HestraSelectAllRoiButtonChanged() { SelectAllRoiButtonChanged(); }
    void HestraSelectSdiOutFormat(int index) { SelectSdiOutFormat(index); }
    void HestraSelectInScreenProxy(QString text) { SelectInScreenProxy(text); }
    void HestraSelectOutScreenProxy(QString text) { SelectOutScreenProxy(text); }
    void HestraSelectRoiConstraints(int index, bool apply) { SelectRoiConstraintIndex(index, apply); }

    QString GetScreenProxy(tovikconfig::hestra::RoiType_t roitype) { return RoiScalerWrapper::GetScreenProxy(roitype); }

    void GetHwInSizeHestra(int& w, int& h, int& hz) { GetHwInSize(w, h, hz); }
    void GetFpgaInSizeHestra(int& w, int& h, int& hz) { GetFpgaInSize(w, h, hz); }
    void GetHwOutSizeHestra(int& w, int& h) { GetHwOutSize(w, h); }
    void GetFpgaOutSizeHestra(int& w, int& h) { GetFpgaOutSize(w, h); }
    void GetHwInHestraGeometry(int& x, int& y, int& w, int& h) { GetHwInRoiGeometry(x, y, w, h); }
    void GetHwOutHestraGeometry(int& x, int& y, int& w, int& h) { GetHwOutRoiGeometry(x, y, w, h); }
    void GetFpgaInHestraGeometry(int& x, int& y, int& w, int& h) { GetFpgaInRoiGeometry(x, y, w, h); }
    void GetFpgaOutHestraGeometry(int& x, int& y, int& w, int& h) { GetFpgaOutRoiGeometry(x, y, w, h); }
    QString GetInputProtocolStringHestra() { return GetInputProtocolString(); }
    QString GetRefInFormatHestra(bool& isValid) { return GetRefInFormat(isValid); }
    bool IsHwOut709Hestra() { return IsHwOut709(); }
};

#endif
