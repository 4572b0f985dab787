// The slots that Mardex, Pendro and Quastel name alike ("Roi" where Hestra
// says its model word); each model class adds the few of its own.
#ifndef PORTVANE_ROISCALER_WRAPPER_SLOTWRAPPER_H
#define PORTVANE_ROISCALER_WRAPPER_SLOTWRAPPER_H

#include "roiscaler/wrapper/wrapper.h"

class RoiSlotWrapper : public RoiScalerWrapper {
    Q_OBJECT
public:
    using RoiScalerWrapper::RoiScalerWrapper;

public slots:
    void SetRoiInputControlsEnable(bool enable) { SetInputControlsEnable(enable); }
    void SetRoiOutputControlsEnable(bool enable) { SetOutputControlsEnable(enable); }

    void SelectSmpteRange(int value) { RoiScalerWrapper::SelectSmpteRange(value); }
    void SelectOutEdgeFiltering(bool on) { RoiScalerWrapper::SelectOutEdgeFiltering(on); }
    void SelectOutFlickerFiltering(bool on) { RoiScalerWrapper::SelectOutFlickerFiltering(on); }
    void SelectBackgroundColor(QString text) { RoiScalerWrapper::SelectBackgroundColor(text); }
    void SelectOutRotation(int value) { RoiScalerWrapper::SelectOutRotation(value); }
    void SelectOutFrameDelay(int value) { RoiScalerWrapper::SelectOutFrameDelay(value); }
    void SelectOutHorizFlip(int value) { RoiScalerWrapper::SelectOutHorizFlip(value); }
    void SelectOutVertFlip(int value) { RoiScalerWrapper::SelectOutVertFlip(value); }
    void SelectGenlockSource(int value) { RoiScalerWrapper::SelectGenlockSource(value); }
    void SelectHorizontalDelay(int value) { RoiScalerWrapper::SelectHorizontalDelay(value); }
    void SelectVerticalDelay(int value) { RoiScalerWrapper::SelectVerticalDelay(value); }
    void SelectAudio(int value) { RoiScalerWrapper::SelectAudio(value); }
    void SelectAnalogMap(int value) { RoiScalerWrapper::SelectAnalogMap(value); }
    void SelectModuleName(QString name) { RoiScalerWrapper::SelectModuleName(name); }
    int GetAudioSelectIndexRoi() { return GetAudioSelectIndex(); }
    void GetHVDelayMaxRoi(int& hMax, int& vMax) { GetHVDelayMax(hMax, vMax); }
    void TryHVDelayEnable() { RoiScalerWrapper::TryHVDelayEnable(); }

    void AdjustRoiForPixelAspectRatio(int& w, int& h) { RoiScalerWrapper::AdjustRoiForPixelAspectRatio(w, h); }
    void CalcOutputMappingRoi(int fit, int x, int y, int w, int h, int outW, int outH, QRect& out)
    {
        CalcOutputMapping(fit, x, y, w, h, outW, outH, out);
    }
    void SelectRoiFit(int fit, bool usePrefs) { RoiScalerWrapper::SelectRoiFit(fit, usePrefs); }
    void SelectInXOffset(int x) { RoiScalerWrapper::SelectInXOffset(x); }
    void SelectInYOffset(int y) { RoiScalerWrapper::SelectInYOffset(y); }
    void SelectInWidth(int w) { RoiScalerWrapper::SelectInWidth(w); }
    void SelectInHeight(int h) { RoiScalerWrapper::SelectInHeight(h); }
    void SelectOutXOffset(int x) { RoiScalerWrapper::SelectOutXOffset(x); }
    void SelectOutYOffset(int y) { RoiScalerWrapper::SelectOutYOffset(y); }
    void SelectOutWidth(int w) { RoiScalerWrapper::SelectOutWidth(w); }
    void SelectOutHeight(int h) { RoiScalerWrapper::SelectOutHeight(h); }
    void CenterRoiButtonChanged() { RoiScalerWrapper::CenterRoiButtonChanged(); }
    void CenterOutputButtonChanged() { RoiScalerWrapper::CenterOutputButtonChanged(); }
    void SelectAllRoiButtonChanged() { RoiScalerWrapper::SelectAllRoiButtonChanged(); }
    void SelectSdiOutFormat(int index) { RoiScalerWrapper::SelectSdiOutFormat(index); }
    void SelectInScreenProxy(QString text) { RoiScalerWrapper::SelectInScreenProxy(text); }
    void SelectOutScreenProxy(QString text) { RoiScalerWrapper::SelectOutScreenProxy(text); }

    void SelectRoiConstraints(int selection, int aspectIndex, int sizeIndex, bool apply)
    {
        RoiScalerWrapper::SelectRoiConstraints(selection, aspectIndex, sizeIndex, apply);
    }
    void SelectRoiConstraint(int selection) { RoiScalerWrapper::SelectRoiConstraint(selection); }
    void SelectRoiFixedAspect(int index) { RoiScalerWrapper::SelectRoiFixedAspect(index); }
    void SelectRoiFixedSize(int index) { RoiScalerWrapper::SelectRoiFixedSize(index); }

    void GetHwInSizeRoi(int& w, int& h, int& hz) { GetHwInSize(w, h, hz); }
    void GetFpgaInSizeRoi(int& w, int& h, int& hz) { GetFpgaInSize(w, h, hz); }
    void GetHwOutSizeRoi(int& w, int& h) { GetHwOutSize(w, h); }
    void GetFpgaOutSizeRoi(int& w, int& h) { GetFpgaOutSize(w, h); }
    void GetHwInRoiGeometry(int& x, int& y, int& w, int& h) { RoiScalerWrapper::GetHwInRoiGeometry(x, y, w, h); }
    void GetHwOutRoiGeometry(int& x, int& y, int& w, int& h) { RoiScalerWrapper::GetHwOutRoiGeometry(x, y, w, h); }
    void GetFpgaOutRoiGeometry(int& x, int& y, int& w, int& h)
    {
        RoiScalerWrapper::GetFpgaOutRoiGeometry(x, y, w, h);
    }
    QString GetInputProtocolStringRoi() { return GetInputProtocolString(); }
    QString GetRefInFormatRoi(bool& isValid) { return GetRefInFormat(isValid); }
    bool IsHwOut709Roi() { return IsHwOut709(); }
};

#endif
