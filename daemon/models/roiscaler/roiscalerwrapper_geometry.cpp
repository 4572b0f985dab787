// The input region and the output window: the fit step, the coordinate
// setters, centring, select-all, the output format and the region texts.
#include "roiscaler/roiscalerwrapper.h"
#include "roiscaler/roiscalerwrapper_p.h"

#include <algorithm>

#include "roiscaler/roimapping.h"
#include "roiscaler/roitables.h"
#include "roiscaler/roitext.h"
#include "roiscaler/screenproxy.h"

using namespace roiscaler;

namespace {

const QSize kOutputConstraint(1920, 1080);

bool ReadRegion(const QString& text, int& x, int& y, int& w, int& h)
{
    return ParseScreenProxy(text, QStringLiteral("x"), x) && ParseScreenProxy(text, QStringLiteral("y"), y)
           && ParseScreenProxy(text, QStringLiteral("w"), w) && ParseScreenProxy(text, QStringLiteral("h"), h);
}

} // namespace

void RoiScalerWrapper::AdjustRoiForPixelAspectRatio(int& w, int& h)
{
    AdjustForPixelAspect(MeasuredInRaster(), OutRaster(), w, h);
}

void RoiScalerWrapper::UpdateFitFromPreferences(int& x, int& y, int& w, int& h, int screenW, int screenH)
{
    FitFromPreferences(x, y, w, h, screenW, screenH);
}

bool RoiScalerWrapper::ClipRoi(int& x, int& y, int& w, int& h, int maxW, int maxH)
{
    return ClipRegion(x, y, w, h, maxW, maxH);
}

void RoiScalerWrapper::CalcOutputMapping(int fit, int x, int y, int w, int h, int outW, int outH, QRect& out)
{
    OutputMapping(fit, x, y, w, h, MeasuredInRaster(), QSize(outW, outH), out);
}

void RoiScalerWrapper::UpdateInProxy(int x, int y, int w, int h)
{
    PutU(Id(Param::CfgInX), x);
    PutU(Id(Param::CfgInY), y);
    PutU(Id(Param::CfgInW), w);
    PutU(Id(Param::CfgInH), h);
    _inProxy->SetRoi(x, y, w, h);
    PutS(Id(Param::ImageInRoi), QStringLiteral("Sel:%1x%2").arg(w).arg(h));
}

void RoiScalerWrapper::UpdateInProxy()
{
    const QRect r = BlockInRoi();
    UpdateInProxy(r.x(), r.y(), r.width(), r.height());
}

void RoiScalerWrapper::UpdateOutProxy(int x, int y, int w, int h)
{
    PutU(Id(Param::CfgOutX), x);
    PutU(Id(Param::CfgOutY), y);
    PutU(Id(Param::CfgOutW), w);
    PutU(Id(Param::CfgOutH), h);
    const int fit = int(StateU(Id(Param::CfgOutMode)));
    PutS(Id(Param::ImageSdiOutFit), Tr(FitName(fit)));
    PutU(Id(Param::OutScalingLabelColor), fit == kAutoScale ? 1 : 2);
    _outProxy->SetRoi(std::max(x, 0), std::max(y, 0), std::min(w, _outProxy->SourceWidth()),
                      std::min(h, _outProxy->SourceHeight()));
}

void RoiScalerWrapper::UpdateOutProxy()
{
    const QRect r = BlockOutRoi();
    UpdateOutProxy(r.x(), r.y(), r.width(), r.height());
}

void RoiScalerWrapper::SelectRoiFit(int fit, bool usePrefs)
{
    // A fit outside the five modes maps nothing: the window is kept.
    if (!Connected() || fit < kAutoScale || fit > kVariable)
        return;
    TryLockGuard guard(_fitMutex);
    if (!guard.Locked())
        return;

    const QSize outRaster = OutRaster();
    QRect source;
    if (fit == kVariable) {
        source = BlockOutRoi();
        if (usePrefs) {
            int x = source.x(), y = source.y(), w = source.width(), h = source.height();
            FitFromPreferences(x, y, w, h, outRaster.width(), outRaster.height());
            source = QRect(x, y, w, h);
        }
    } else if (fit == kAutoScale) {
        source = QRect(QPoint(0, 0), MeasuredInRaster());
    } else {
        source = BlockInRoi();
    }
    QRect out(QPoint(0, 0), QPoint(-1, -1));
    OutputMapping(fit, source.x(), source.y(), source.width(), source.height(), MeasuredInRaster(), outRaster, out);

    _outProxy->SetConstraint(fit == kVariable ? ScreenProxy::kFree : ScreenProxy::kNotEditable,
                             kOutputConstraint.width(), kOutputConstraint.height());

    const QRect window(QPoint(out.left(), out.top()), QPoint(out.right(), out.bottom()));
    const int swState = Get(RoiField::_swStateSelect);
    if (window != BlockOutRoi() || fit != ((swState >> 4) & 0x0F)) {
        PutOutRoi(window.x(), window.y(), window.width(), window.height());
        Put(RoiField::_swStateSelect, (swState & 0x0F) | (fit << 4));
        RefreshStoredTiming();
        StreamOutBlock();
        if (_model.fitStepWrites)
            WriteBlock();
    }

    const int roiCtrl = Get(RoiField::_roiCtrl);
    const bool wasInUse = (roiCtrl & 0x01) != 0;
    Put(RoiField::_roiCtrl, (roiCtrl & ~(kRoiInUse | kRoiCtrlSet)) | (fit != kAutoScale ? kRoiInUse : 0) | kRoiCtrlSet);
    if (wasInUse && fit == kAutoScale) {
        PutU(Id(Param::CfgInMode), 0u);
        ReapplyConstraint(kWholeInput, usePrefs);
    } else if (!wasInUse && fit != kAutoScale) {
        if (_model.oneIndexSelection)
            SelectRoiConstraintIndex(kFreeSelection, usePrefs);
        else
            SelectRoiConstraint(kFreeSelection);
    }

    _outProxy->SetEnabled(true);
    UpdateOutProxy();
    if (StateU(Id(Param::CfgOutMode)) != quint32(fit))
        PutU(Id(Param::CfgOutMode), fit);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectInXOffset(int x)
{
    if (!Connected())
        return;
    Put(RoiField::_inputHStartOffset, _inProxy->ClampX(x));
    SendBlock(true);
    UpdateInProxy();
    StartConfigTimer();
}

void RoiScalerWrapper::SelectInYOffset(int y)
{
    if (!Connected())
        return;
    Put(RoiField::_inputVStartOffset, _inProxy->ClampY(y));
    SendBlock(true);
    UpdateInProxy();
    StartConfigTimer();
}

void RoiScalerWrapper::SelectInWidth(int w)
{
    if (!Connected())
        return;
    w = _inProxy->ClampWidth(w);
    if (_inProxy->ConstraintMode() == ScreenProxy::kFixedAspect) {
        _inProxy->BeginDrag(ScreenProxy::kRightEdge, w - _inProxy->RoiWidth(), 0);
        Put(RoiField::_inputActivePixels, _inProxy->RoiWidth());
        Put(RoiField::_inputActiveLines, _inProxy->RoiHeight());
    } else {
        Put(RoiField::_inputActivePixels, w);
    }
    SendBlock(true);
    UpdateInProxy();
    SelectRoiFit(int(StateU(Id(Param::CfgOutMode))), false);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectInHeight(int h)
{
    if (!Connected())
        return;
    h = _inProxy->ClampHeight(h);
    if (_inProxy->ConstraintMode() == ScreenProxy::kFixedAspect) {
        _inProxy->BeginDrag(ScreenProxy::kBottomEdge, 0, h - _inProxy->RoiHeight());
        Put(RoiField::_inputActivePixels, _inProxy->RoiWidth());
        Put(RoiField::_inputActiveLines, _inProxy->RoiHeight());
    } else {
        Put(RoiField::_inputActiveLines, h);
    }
    SendBlock(true);
    UpdateInProxy();
    SelectRoiFit(int(StateU(Id(Param::CfgOutMode))), false);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectOutXOffset(int x)
{
    if (!Connected())
        return;
    Put(RoiField::_outputHStartOffset, _outProxy->ClampX(x));
    SendBlock(_model.outputSettersStream);
    SelectRoiFit(int(StateU(Id(Param::CfgOutMode))), false);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectOutYOffset(int y)
{
    if (!Connected())
        return;
    Put(RoiField::_outputVStartOffset, _outProxy->ClampY(y));
    SendBlock(_model.outputSettersStream);
    SelectRoiFit(int(StateU(Id(Param::CfgOutMode))), false);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectOutWidth(int w)
{
    if (!Connected())
        return;
    Put(RoiField::_outputActivePixels, _outProxy->ClampWidth(w));
    SendBlock(_model.outputSettersStream);
    SelectRoiFit(int(StateU(Id(Param::CfgOutMode))), false);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectOutHeight(int h)
{
    if (!Connected())
        return;
    Put(RoiField::_outputActiveLines, _outProxy->ClampHeight(h));
    SendBlock(_model.outputSettersStream);
    SelectRoiFit(int(StateU(Id(Param::CfgOutMode))), false);
    StartConfigTimer();
}

void RoiScalerWrapper::CenterRoiButtonChanged()
{
    _paramChanged = true;
    const QSize raster = MeasuredInRaster();
    const int w = Get(RoiField::_inputActivePixels);
    const int h = Get(RoiField::_inputActiveLines);
    const int x = CentredOffset(raster.width(), w);
    const int y = CentredOffset(raster.height(), h);
    Put(RoiField::_inputHStartOffset, x);
    Put(RoiField::_inputVStartOffset, y);
    SendBlock(true);
    UpdateInProxy(x, y, w, h);
    StartConfigTimer();
}

void RoiScalerWrapper::CenterOutputButtonChanged()
{
    _paramChanged = true;
    const QSize raster = OutRaster();
    const int w = Get(RoiField::_outputActivePixels);
    const int h = Get(RoiField::_outputActiveLines);
    const int x = CentredOffset(raster.width(), w);
    const int y = CentredOffset(raster.height(), h);
    Put(RoiField::_outputHStartOffset, x);
    Put(RoiField::_outputVStartOffset, y);
    SendBlock(true);
    UpdateOutProxy(x, y, w, h);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectAllRoiButtonChanged()
{
    const QSize raster = MeasuredInRaster();
    QRect roi(QPoint(0, 0), raster);
    if (_inProxy->ConstraintMode() == ScreenProxy::kFixedAspect) {
        int cw = 0, ch = 0;
        _inProxy->GetConstraint(&cw, &ch);
        QRect fitted;
        FitRectToAspect(cw, ch, raster.width(), raster.height(), &fitted);
        roi = QRect(fitted.left(), fitted.top(), fitted.right() - fitted.left() + 1, fitted.bottom() - fitted.top() + 1);
    }
    PutInRoi(roi.x(), roi.y(), roi.width(), roi.height());
    SendBlock(true);
    UpdateInProxy();
    SelectRoiFit(int(StateU(Id(Param::CfgOutMode))), false);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectSdiOutFormat(int index)
{
    const RasterFormat* row = RasterFormatAt(index);
    if (!Connected() || !row)
        return;
    Put(RoiField::_sdiOutVideoCtrl, row->rateCode | row->formatCode << 4);
    const QSize raster(row->width, row->height);

    ReapplyConstraint(int(StateU(Id(Param::CfgInMode))), false);

    const int fit = int(StateU(Id(Param::CfgOutMode)));
    const QRect source = fit == kVariable ? BlockOutRoi() : BlockInRoi();
    QRect out = BlockOutRoi();
    OutputMapping(fit, source.x(), source.y(), source.width(), source.height(), MeasuredInRaster(), raster, out);
    PutOutRoi(out.left(), out.top(), out.right() - out.left() + 1, out.bottom() - out.top() + 1);
    SendBlock(_model.outputFormatStreams);

    _outProxy->SetSourceSize(raster.width(), raster.height());
    TryHVDelayEnable();
    UpdateOutProxy();
    UpdateDevice();
    StartConfigTimer();
}

void RoiScalerWrapper::SelectInScreenProxy(const QString& text)
{
    if (!Connected() || _inProxy->ConstraintMode() != ScreenProxy::kFree)
        return;
    int x = 0, y = 0, w = 0, h = 0;
    if (!ReadRegion(text, x, y, w, h))
        return;
    _inProxy->ClipRoi(&x, &y, &w, &h);
    PutInRoi(x, y, w, h);
    StreamOutBlock();
    UpdateInProxy();
    PutS(Id(Param::InScreenProxy), GetScreenProxy(0));
    StartConfigTimer();
}

void RoiScalerWrapper::SelectOutScreenProxy(const QString& text)
{
    if (!Connected() || StateU(Id(Param::CfgOutMode)) != quint32(kVariable))
        return;
    int x = 0, y = 0, w = 0, h = 0;
    if (!ReadRegion(text, x, y, w, h))
        return;
    _outProxy->ClipRoi(&x, &y, &w, &h);
    if (QRect(x, y, w, h) == BlockOutRoi()) {
        StartConfigTimer();
        return;
    }
    PutOutRoi(x, y, w, h);
    StreamOutBlock();
    UpdateOutProxy();
    PutS(Id(Param::OutScreenProxy), GetScreenProxy(1));
    StartConfigTimer();
}
