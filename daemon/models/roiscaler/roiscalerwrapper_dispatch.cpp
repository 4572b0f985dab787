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
    quint32 index;
    Action action;
};

const DispatchRow kShared[] = {
    {index::CfgInX, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectInXOffset(U(v)); }},
    {index::CfgInY, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectInYOffset(U(v)); }},
    {index::CfgInW, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectInWidth(U(v)); }},
    {index::CfgInH, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectInHeight(U(v)); }},
    {index::CfgOutMode, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectRoiFit(U(v), true); }},
    {index::CfgOutX, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutXOffset(U(v)); }},
    {index::CfgOutY, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutYOffset(U(v)); }},
    {index::CfgOutW, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutWidth(U(v)); }},
    {index::CfgOutH, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutHeight(U(v)); }},
    {index::InScreenProxy, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectInScreenProxy(v.toString()); }},
    {index::OutScreenProxy, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutScreenProxy(v.toString()); }},
    {index::OutRoiFormat, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectSdiOutFormat(U(v)); }},
    {index::OutEdgeFiltering, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutEdgeFiltering(v.toBool()); }},
    {index::OutFlickerFiltering,
     [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutFlickerFiltering(v.toBool()); }},
    {index::Genlock, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectGenlockSource(U(v)); }},
    {index::GenHDelay, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectHorizontalDelay(U(v)); }},
    {index::GenVDelay, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectVerticalDelay(U(v)); }},
    {index::InRgbRange, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectSmpteRange(U(v)); }},
    {index::AudInSelect, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectAudio(U(v)); }},
    {index::AudAnalogOutMap, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectAnalogMap(U(v)); }},
    {index::AudConversion, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectAudioConversion(U(v)); }},
    {index::RoiAction,
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
    {index::ModuleName, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectModuleName(v.toString()); }},
    {index::BackgroundColor, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectBackgroundColor(v.toString()); }},
};

// Counted from the model's first processing parameter.
const DispatchRow kProcessing[] = {
    {processing::FixedAspectMode, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectRoiFixedAspect(U(v)); }},
    {processing::FixedSizeMode, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectRoiFixedSize(U(v)); }},
    {processing::OutRotation, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutRotation(U(v)); }},
    {processing::OutFrameDelayCk, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutFrameDelay(U(v)); }},
    {processing::OutHorizFlipCk, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutHorizFlip(U(v)); }},
    {processing::OutVertFlipCk, [](RoiScalerWrapper& w, const QVariant& v) { w.SelectOutVertFlip(U(v)); }},
};

// Ids of the model are its base ORed with an index below 0x100.
const quint32 kIndexMask = 0xFF;

Action FindAction(const RoiWrapperProfile& profile, quint32 index)
{
    for (const DispatchRow& row : kShared)
        if (row.index == index)
            return row.action;
    if (profile.HasProcessing()) {
        for (const DispatchRow& row : kProcessing)
            if (profile.processingIndex + row.index == index)
                return row.action;
    }
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

    const bool ownId = (id & ~kIndexMask) == _profile.idBase;
    const quint32 idx = id & kIndexMask;
    if (ownId) {
        if (idx == index::CfgInMode) {
            if (_profile.oneIndexSelection)
                SelectRoiConstraintIndex(U(value), true);
            else
                SelectRoiConstraint(U(value));
        } else if (_profile.edid && idx == index::EDIDFlowThru) {
            SelectEDID(U(value));
        } else if (const Action action = FindAction(_profile, idx)) {
            action(*this, value);
        }
        if (idx == index::InScreenProxy || idx == index::OutScreenProxy) {
            emit DeviceStateUpdated(_state);
            return;
        }
    }
    ReadDeviceConfig();
}
