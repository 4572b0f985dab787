// The named operations of the ROI scaler wrapper: each runs its decision on
// the wrapper as it stands, or reads the block and the status image.
#include "roiscaler/wrapper/wrapper.h"

#include "roiscaler/decisions/bindings.h"
#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/decisions/geometry.h"
#include "roiscaler/decisions/readback.h"
#include "roiscaler/decisions/settings.h"
#include "roiscaler/values/mapping.h"
#include "roiscaler/values/regiontext.h"
#include "roiscaler/values/screenproxy.h"
#include "roiscaler/values/statusbits.h"

using namespace roiscaler;

// ---- settings

void RoiScalerWrapper::SelectSmpteRange(int value)
{
    Run(SetSmpteRange, value);
}

void RoiScalerWrapper::SelectOutEdgeFiltering(bool on)
{
    Run(SetEdgeFiltering, on);
}

void RoiScalerWrapper::SelectOutFlickerFiltering(bool on)
{
    Run(SetFlickerFiltering, on);
}

void RoiScalerWrapper::SelectBackgroundColor(const QString& colorText)
{
    Run(SetBackgroundColor, colorText);
}

void RoiScalerWrapper::SelectOutRotation(int value)
{
    Run(SetRotation, value);
}

void RoiScalerWrapper::SelectOutFrameDelay(int value)
{
    Run(SetFrameDelay, value);
}

void RoiScalerWrapper::SelectOutHorizFlip(int value)
{
    Run(SetHorizFlip, value);
}

void RoiScalerWrapper::SelectOutVertFlip(int value)
{
    Run(SetVertFlip, value);
}

void RoiScalerWrapper::SelectEDID(int value)
{
    Run(SetEdid, value);
}

void RoiScalerWrapper::SelectGenlockSource(int value)
{
    Run(SetGenlockSource, value);
}

void RoiScalerWrapper::SelectHorizontalDelay(int value)
{
    Run(SetHorizontalDelay, value);
}

void RoiScalerWrapper::SelectVerticalDelay(int value)
{
    Run(SetVerticalDelay, value);
}

void RoiScalerWrapper::SelectAudio(int value)
{
    Run(SetAudio, value);
}

void RoiScalerWrapper::SelectAnalogMap(int value)
{
    Run(SetAnalogMap, value);
}

void RoiScalerWrapper::SelectAudioConversion(int value)
{
    Run(SetAudioConversion, value);
}

void RoiScalerWrapper::SelectModuleName(const QString& name)
{
    Run(SetModuleName, name);
}

int RoiScalerWrapper::GetAudioSelectIndex()
{
    return AudioSelection(BlockImage(*_block), Connected());
}

void RoiScalerWrapper::GetHVDelayMax(int& hMax, int& vMax)
{
    DelayMax(BlockImage(*_block), hMax, vMax);
}

void RoiScalerWrapper::ValidateHDelay(int& delay)
{
    delay = ValidHDelay(BlockImage(*_block), delay);
}

void RoiScalerWrapper::ValidateVDelay(int& delay)
{
    delay = ValidVDelay(BlockImage(*_block), delay);
}

void RoiScalerWrapper::TryHVDelayEnable()
{
    PutDelayAvailability(Context(), BlockImage(*_block), _state);
}

// ---- readback in parts

void RoiScalerWrapper::UpdateInfoandUpdateTabs()
{
    PublishIdentity();
}

void RoiScalerWrapper::UpdateInfoTab(const CModuleType& moduleRecord)
{
    RoiOutcome outcome(SceneToApply());
    PutInfoTab(Context(), Identity(moduleRecord), outcome);
    Apply(std::move(outcome));
}

void RoiScalerWrapper::UpdateGenlockTab(bool force)
{
    const BlockImage block(*_block);
    PublishReadback(Context(), block, _state, force, {Group::Genlock, Group::DelayAvailability});
    int hDelay = 0, vDelay = 0;
    if (DelaysToClamp(block, hDelay, vDelay)) {
        SelectHorizontalDelay(hDelay);
        SelectVerticalDelay(vDelay);
    }
}

void RoiScalerWrapper::UpdateAudioTab(bool force)
{
    PublishReadback(Context(), BlockImage(*_block), _state, force, {Group::Audio});
}

void RoiScalerWrapper::UpdateBackgroundColor(bool force)
{
    if (force)
        PublishReadback(Context(), BlockImage(*_block), _state, true, {Group::Background});
    else
        PublishStatus(Context(), BlockImage(*_block), _state, {Group::Background});
}

// ---- geometry

void RoiScalerWrapper::AdjustRoiForPixelAspectRatio(int& w, int& h)
{
    AdjustForPixelAspect(MeasuredRaster(_statusImage), OutRaster(BlockImage(*_block)), w, h);
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
    OutputMapping(fit, x, y, w, h, MeasuredRaster(_statusImage), QSize(outW, outH), out);
}

void RoiScalerWrapper::UpdateInProxy(int x, int y, int w, int h)
{
    RoiOutcome outcome(SceneToApply());
    ShowInRegion(_model, outcome.scene, x, y, w, h);
    Apply(std::move(outcome));
}

void RoiScalerWrapper::UpdateInProxy()
{
    RoiOutcome outcome(SceneToApply());
    ShowInRegion(_model, outcome.scene);
    Apply(std::move(outcome));
}

void RoiScalerWrapper::UpdateOutProxy(int x, int y, int w, int h)
{
    RoiOutcome outcome(SceneToApply());
    ShowOutRegion(_model, outcome.scene, x, y, w, h);
    Apply(std::move(outcome));
}

void RoiScalerWrapper::UpdateOutProxy()
{
    RoiOutcome outcome(SceneToApply());
    ShowOutRegion(_model, outcome.scene);
    Apply(std::move(outcome));
}

void RoiScalerWrapper::SelectRoiFit(int fit, bool usePrefs)
{
    Run(SelectFit, fit, usePrefs);
}

void RoiScalerWrapper::SelectInXOffset(int x)
{
    Run(SetInX, x);
}

void RoiScalerWrapper::SelectInYOffset(int y)
{
    Run(SetInY, y);
}

void RoiScalerWrapper::SelectInWidth(int w)
{
    Run(SetInWidth, w);
}

void RoiScalerWrapper::SelectInHeight(int h)
{
    Run(SetInHeight, h);
}

void RoiScalerWrapper::SelectOutXOffset(int x)
{
    Run(SetOutX, x);
}

void RoiScalerWrapper::SelectOutYOffset(int y)
{
    Run(SetOutY, y);
}

void RoiScalerWrapper::SelectOutWidth(int w)
{
    Run(SetOutWidth, w);
}

void RoiScalerWrapper::SelectOutHeight(int h)
{
    Run(SetOutHeight, h);
}

void RoiScalerWrapper::CenterRoiButtonChanged()
{
    Run(CenterIn);
}

void RoiScalerWrapper::CenterOutputButtonChanged()
{
    Run(CenterOut);
}

void RoiScalerWrapper::SelectAllRoiButtonChanged()
{
    Run(SelectAllIn);
}

void RoiScalerWrapper::SelectSdiOutFormat(int index)
{
    Run(SetOutputFormat, index);
}

void RoiScalerWrapper::SelectInScreenProxy(const QString& text)
{
    Run(SetInRegionText, text);
}

void RoiScalerWrapper::SelectOutScreenProxy(const QString& text)
{
    Run(SetOutRegionText, text);
}

void RoiScalerWrapper::SelectRoiConstraints(int selection, int aspectIndex, int sizeIndex, bool apply)
{
    Run(SelectConstraints, selection, aspectIndex, sizeIndex, apply);
}

void RoiScalerWrapper::SelectRoiConstraint(int selection)
{
    Run(SelectConstraint, selection);
}

void RoiScalerWrapper::SelectRoiFixedAspect(int index)
{
    Run(SelectFixedAspect, index);
}

void RoiScalerWrapper::SelectRoiFixedSize(int index)
{
    Run(SelectFixedSize, index);
}

void RoiScalerWrapper::SelectRoiConstraintIndex(int index, bool apply)
{
    Run(SelectConstraintIndex, index, apply);
}

// ---- region text

bool RoiScalerWrapper::ParseScreenProxy(QString text, UByte& mode, UWord& x, UWord& y, UWord& w, UWord& h,
                                        UWord& screenw, UWord& screenh)
{
    return roiscaler::ParseScreenProxy(text, mode, x, y, w, h, screenw, screenh);
}

bool RoiScalerWrapper::ParseScreenProxy(QString text, QString key, int& value)
{
    return roiscaler::ParseScreenProxy(text, key, value);
}

QString RoiScalerWrapper::GetScreenProxy(int roitype)
{
    return ScreenProxyText(_state, _model.idBase, roitype);
}

// ---- getters

void RoiScalerWrapper::GetHwInSize(int& w, int& h, int& hz)
{
    const InputFormat f = SetInputFormat(_statusImage);
    w = f.width;
    h = f.height;
    hz = f.hz;
}

void RoiScalerWrapper::GetFpgaInSize(int& w, int& h, int& hz)
{
    const InputFormat f = MeasuredInputFormat(_statusImage);
    w = f.width;
    h = f.height;
    hz = f.hz;
}

void RoiScalerWrapper::GetHwOutSize(int& w, int& h)
{
    const QSize size = OutRaster(BlockImage(*_block));
    w = size.width();
    h = size.height();
}

void RoiScalerWrapper::GetFpgaOutSize(int& w, int& h)
{
    GetHwOutSize(w, h);
}

void RoiScalerWrapper::GetHwInRoiGeometry(int& x, int& y, int& w, int& h)
{
    const QRect r = InRegion(BlockImage(*_block));
    x = r.x();
    y = r.y();
    w = r.width();
    h = r.height();
}

void RoiScalerWrapper::GetHwOutRoiGeometry(int& x, int& y, int& w, int& h)
{
    const QRect r = OutRegion(BlockImage(*_block));
    x = r.x();
    y = r.y();
    w = r.width();
    h = r.height();
}

void RoiScalerWrapper::GetFpgaInRoiGeometry(int& x, int& y, int& w, int& h)
{
    const QSize in = MeasuredRaster(_statusImage);
    x = 0;
    y = 0;
    w = in.width();
    h = in.height();
}

void RoiScalerWrapper::GetFpgaOutRoiGeometry(int& x, int& y, int& w, int& h)
{
    const QSize in = MeasuredRaster(_statusImage);
    const QSize out = OutRaster(BlockImage(*_block));
    QRect r;
    FitRectToAspect(in.width(), in.height(), out.width(), out.height(), &r);
    x = r.left();
    y = r.top();
    w = r.right() - r.left() + 1;
    h = r.bottom() - r.top() + 1;
}

QString RoiScalerWrapper::GetInputProtocolString()
{
    return InputProtocolText(_statusImage, _model.inputWord);
}

QString RoiScalerWrapper::GetRefInFormat(bool& isValid)
{
    return RefInFormatText(_statusImage, isValid);
}

bool RoiScalerWrapper::IsHwOut709()
{
    return IsHdOutput(BlockImage(*_block));
}

bool RoiScalerWrapper::GetRoiInConnected()
{
    return Connected() && IsSet(_statusImage, status::kInputPresent);
}

bool RoiScalerWrapper::GetRoiFormatMatches()
{
    return Connected() && IsSet(_statusImage, status::kFormatMatches);
}

bool RoiScalerWrapper::GetRoiInConnectedAndFormatMatches()
{
    if (!Connected())
        return false;
    const bool in = IsSet(_statusImage, status::kInputPresent);
    if (!Connected())
        return false;
    return in && IsSet(_statusImage, status::kFormatMatches);
}

// ---- proxies

void RoiScalerWrapper::SetInputControlsEnable(bool enable)
{
    _inProxy->SetEnabled(enable);
}

void RoiScalerWrapper::SetOutputControlsEnable(bool enable)
{
    _outProxy->SetEnabled(enable);
}
