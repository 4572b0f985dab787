// SetParam: a client's change of a parameter reaches its setter, then the
// converter is reread (or, for the region texts, the state published).
#include "roiscaler/roiscalerwrapper.h"

#include "engine/ccmdengine.h"

using namespace roiscaler;

namespace {

typedef void (*Action)(RoiScalerWrapper& w, const QVariant& v);

int U(const QVariant& v)
{
    return int(v.toUInt());
}

// A parameter with its setter. Every setter tests the link itself.
struct DispatchRow {
    Param param;
    Action action;
};

const DispatchRow kShared[] = {
    {Param::CfgInX, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectInXOffset(U(v)); }},
    {Param::CfgInY, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectInYOffset(U(v)); }},
    {Param::CfgInW, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectInWidth(U(v)); }},
    {Param::CfgInH, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectInHeight(U(v)); }},
    {Param::CfgOutMode, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectRoiFit(U(v), true); }},
    {Param::CfgOutX, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutXOffset(U(v)); }},
    {Param::CfgOutY, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutYOffset(U(v)); }},
    {Param::CfgOutW, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutWidth(U(v)); }},
    {Param::CfgOutH, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutHeight(U(v)); }},
    {Param::InScreenProxy, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectInScreenProxy(v.toString()); }},
    {Param::OutScreenProxy, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutScreenProxy(v.toString()); }},
    {Param::OutRoiFormat, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectSdiOutFormat(U(v)); }},
    {Param::OutEdgeFiltering, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutEdgeFiltering(v.toBool()); }},
    {Param::OutFlickerFiltering,
     [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutFlickerFiltering(v.toBool()); }},
    {Param::Genlock, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectGenlockSource(U(v)); }},
    {Param::GenHDelay, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectHorizontalDelay(U(v)); }},
    {Param::GenVDelay, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectVerticalDelay(U(v)); }},
    {Param::InRgbRange, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectSmpteRange(U(v)); }},
    {Param::AudInSelect, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectAudio(U(v)); }},
    {Param::AudAnalogOutMap, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectAnalogMap(U(v)); }},
    {Param::AudConversion, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectAudioConversion(U(v)); }},
    {Param::RoiAction,
     [](RoiScalerWrapper& w, const QVariant& v) {
         switch (v.toUInt()) {
         case 1:
             w.SelectAllRoiButtonChanged();
             break;
         case 2:
             w.CenterRoiButtonChanged();
             break;
         case 3:
             w.CenterOutputButtonChanged();
             break;
         default:
             break;
         }
     }},
    {Param::ModuleName, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectModuleName(v.toString()); }},
    {Param::BackgroundColor, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectBackgroundColor(v.toString()); }},
};

// Of the models with rotation, frame delay and flips.
const DispatchRow kProcessing[] = {
    {Param::CfgInFixedAspectMode, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectRoiFixedAspect(U(v)); }},
    {Param::CfgInFixedSizeMode, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectRoiFixedSize(U(v)); }},
    {Param::CfgOutRotation, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutRotation(U(v)); }},
    {Param::OutFrameDelayCk, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutFrameDelay(U(v)); }},
    {Param::OutHorizFlipCk, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutHorizFlip(U(v)); }},
    {Param::OutVertFlipCk, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutVertFlip(U(v)); }},
};

Action FindAction(Param p)
{
    for (const DispatchRow& row : kShared)
        if (row.param == p)
            return row.action;
    for (const DispatchRow& row : kProcessing)
        if (row.param == p)
            return row.action;
    return nullptr;
}

} // namespace

void RoiScalerWrapper::SetParam(quint32 id, const QVariant& value, const LumoTimeStamp& ts)
{
    Q_UNUSED(ts);
    // The configuration could not be read: the change is dropped, and a
    // reread is due so that the wrapper recovers and the store shows what
    // the converter holds.
    if (_configReadFailed) {
        StartConfigTimerMinTime();
        return;
    }
    _paramChanged = true;

    const Param p = _model.ParamOf(id);
    if (p != Param::kCount) {
        if (p == Param::CfgInMode) {
            if (_model.oneIndexSelection)
                SelectRoiConstraintIndex(U(value), true);
            else
                SelectRoiConstraint(U(value));
        } else if (p == Param::EDIDFlowThru) {
            SelectEDID(U(value));
        } else if (const Action action = FindAction(p)) {
            action(*this, value);
        }
        if (p == Param::InScreenProxy || p == Param::OutScreenProxy) {
            emit DeviceStateUpdated(_state);
            return;
        }
    }
    ReadDeviceConfig();
}
