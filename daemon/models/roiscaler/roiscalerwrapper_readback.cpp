// After every read of the converter's configuration: the block and the
// module record back into parameter values. The first pass that gets past
// the input gate is forced: it writes every value and restores the fit.
#include "roiscaler/roiscalerwrapper.h"
#include "roiscaler/roiscalerwrapper_p.h"

#include <QDebug>
#include <QTimer>

#include <algorithm>

#include "catalog/cmoduletype.h"
#include "engine/ccmdengine.h"
#include "roiscaler/colorspace.h"
#include "roiscaler/roitables.h"
#include "roiscaler/screenproxy.h"

using namespace roiscaler;

quint32 RoiScalerWrapper::RotationValue() const
{
    switch (Get(RoiField::_rotation)) {
    case 0:
    case 1:
        return (Get(RoiField::_swStateSelect2) & kHalfTurnMarker) ? 2 : 0;
    case 2:
        return 1;
    case 3:
        return 3;
    default:
        return 0;
    }
}

bool RoiScalerWrapper::FrameDelayInEffect() const
{
    const int rotation = Get(RoiField::_rotation);
    return rotation == 2 || rotation == 3 || (Get(RoiField::_swStateSelect2) & kHalfTurnMarker)
           || Get(RoiField::_verticalFlip) || Get(RoiField::_horizontalFlip) || Get(RoiField::_frameDelay);
}

void RoiScalerWrapper::UpdateDevice()
{
    bool force = false;
    if (!InputMeasured() && _syncCountdown > 0) {
        if (!_busy) {
            --_syncCountdown;
            if (!_configTimer->isActive())
                StartConfigTimerMinTime();
            return;
        }
    } else if (_inputSynced == 0 && !_busy) {
        force = true;
        _inputSynced = 1;
    }

    UpdateInfoandUpdateTabs();
    if (!Connected() || !_connected || _busy)
        return;

    if (force) {
        _inputChangeSeen = false;
        Put(RoiField::_roiCtrl, Get(RoiField::_roiCtrl) | kForcedRoiCtrlBits);
    }

    // Output format.
    const int videoCtrl = Get(RoiField::_sdiOutVideoCtrl);
    const int formatIndex = FindRasterFormat((videoCtrl >> 4) & 0x07, videoCtrl & 0x0F);
    const quint32 formatId = Id(Param::OutRoiFormat);
    if (formatIndex >= 0) {
        if (StateU(formatId) != quint32(formatIndex))
            PutU(formatId, formatIndex);
        else
            UpdateOutProxy();
    }
    if (_model.rateAlarms && (GetStatusBits(59, 0x80, 7) || GetStatusBits(59, 0x20, 5))) {
        PutS(Id(Param::ImageSdiOutFormat), Tr("Disabled"));
    } else if (const RasterFormat* row = RasterFormatAt(int(StateU(formatId)))) {
        PutS(Id(Param::ImageSdiOutFormat), QString::fromLatin1(row->name));
    }

    // Output raster.
    int outW = 0, outH = 0;
    GetHwOutSize(outW, outH);
    PutU(Id(Param::CfgOutScreenW), outW);
    PutU(Id(Param::CfgOutScreenH), outH);
    _outProxy->SetSourceSize(outW, outH);

    // Input selection.
    const int swState = Get(RoiField::_swStateSelect);
    const bool modesValid = !_model.modesNeedMatchingInput || GetStatusBits(20, 0x40, 6);
    bool inputModeWritten = false;
    if (_model.oneIndexSelection) {
        inputModeWritten = PutUChanged(Id(Param::CfgInMode), modesValid ? swState & 0x0F : 0, force);
    } else {
        const InputMode mode = DecodeInputMode(swState & 0x0F);
        inputModeWritten = PutUChanged(Id(Param::CfgInMode), mode.selection, force);
        if (mode.selection == kFixedAspect)
            inputModeWritten |= PutUChanged(Id(Param::CfgInFixedAspectMode), mode.aspect, false);
        if (mode.selection == kFixedSize)
            inputModeWritten |= PutUChanged(Id(Param::CfgInFixedSizeMode), mode.size, false);
    }
    if (inputModeWritten || force) {
        _lastInSize = SetInputFormat(_statusImage);
        PutU(Id(Param::CfgInScreenW), _lastInSize.width);
        PutU(Id(Param::CfgInScreenH), _lastInSize.height);
        _inProxy->SetSourceSize(_lastInSize.width, _lastInSize.height);
        UpdateInProxy();
    }

    PutUChanged(Id(Param::InRgbRange), Get(RoiField::_isSmpte) ? 1 : 0, force);

    // Output fit.
    const int fit = modesValid ? (swState >> 4) & 0x0F : 0;
    if (PutUChanged(Id(Param::CfgOutMode), quint32(fit), force) && Connected())
        SelectRoiFit(fit, false);

    if (_model.HasProcessing()) {
        const int state2 = Get(RoiField::_swStateSelect2);
        const bool marker = (state2 & kHalfTurnMarker) != 0;
        PutUChanged(Id(Param::CfgOutRotation), RotationValue(), force);
        PutBChanged(Id(Param::OutFrameDelay), FrameDelayInEffect(), false);
        PutBChanged(Id(Param::OutFrameDelayCk), (state2 & kFrameDelayChoice) != 0, false);
        PutBChanged(Id(Param::OutVertFlipCk), bool(Get(RoiField::_verticalFlip)) != marker, force);
        PutBChanged(Id(Param::OutHorizFlipCk), bool(Get(RoiField::_horizontalFlip)) != marker, force);
    }

    UpdateAudioTab(force);
    UpdateGenlockTab(force);
    UpdateBackgroundColor(true);
}

void RoiScalerWrapper::UpdateInfoandUpdateTabs()
{
    if (Connected()) {
        PutS(Id(Param::FpgaVersion), GetFirmwareVersion());
        PutS(Id(Param::DuviRuravodIvoduri), GetReleaseVersion());
        PutS(Id(Param::VoruZevezoZerazi), GetSerialNumber());
        UpdateInfoTab(_engine->GetModuleType());
        return;
    }
    const QString unknown = Tr("Unknown");
    for (Param idx : {Param::VoruZevezoZerazi, Param::FpgaVersion, Param::DuviRuravodIvoduri, Param::ModuleName,
                        Param::ModuleType, Param::ModuleAssemblyBd})
        PutS(Id(idx), unknown);
}

void RoiScalerWrapper::UpdateInfoTab(const CModuleType& moduleRecord)
{
    if (_model.logsInfoTab)
        qDebug() << " UpdateHestraInfoTab name" << moduleRecord._moduleName;
    const auto putChanged = [this](Param idx, const QString& text) {
        if (StateS(Id(idx)) != text)
            PutS(Id(idx), text);
    };
    putChanged(Param::ModuleName, moduleRecord._moduleName);
    const int type = moduleRecord._moduleTypeID;
    putChanged(Param::ModuleType, type >= 0 && type < CModuleType::kModuleTypeCount
                                      ? CModuleType::_moduleTypeIDNames[size_t(type)].name
                                      : QString());
    putChanged(Param::ModuleAssemblyBd, moduleRecord._boardAssemblyID);
}

void RoiScalerWrapper::UpdateAudioTab(bool force)
{
    const int control = Get(RoiField::_audioControl);
    PutUChanged(Id(Param::AudInSelect), quint32(GetAudioSelectIndex()), force);
    PutUChanged(Id(Param::AudAnalogOutMap), quint32((control >> 3) & 0x03), force);
    PutUChanged(Id(Param::AudConversion), quint32((control >> 1) & 0x01), force);
}

void RoiScalerWrapper::UpdateGenlockTab(bool force)
{
    PutUChanged(Id(Param::Genlock), quint32((Get(RoiField::_genLockCtrl) >> 1) & 0x03), force);
    TryHVDelayEnable();
    PutBChanged(Id(Param::OutEdgeFiltering), !Get(RoiField::_sharpBlanking), force);
    PutBChanged(Id(Param::OutFlickerFiltering), Get(RoiField::_flickerFiltering) != 0, force);
    int hMax = -1, vMax = -1;
    GetHVDelayMax(hMax, vMax);
    const int hDelay = Get(RoiField::_horizontalDelay);
    const int vDelay = Get(RoiField::_verticalDelay);
    PutUChanged(Id(Param::GenHDelay), quint32(hDelay), force);
    PutUChanged(Id(Param::GenVDelay), quint32(vDelay), force);
    if (hMax == -1 || vMax == -1)
        return;
    PutUChanged(Id(Param::GenHDelayMax), quint32(hMax), force);
    PutUChanged(Id(Param::GenVDelayMax), quint32(vMax), force);
    if (hDelay > hMax || vDelay > vMax) {
        SelectHorizontalDelay(std::min(hDelay, hMax));
        SelectVerticalDelay(std::min(vDelay, vMax));
    }
}

void RoiScalerWrapper::UpdateBackgroundColor(bool force)
{
    if (!_block)
        return;
    QString text;
    YCbCrToColorText(text, unsigned(Get(RoiField::_backColorY)), unsigned(Get(RoiField::_backColorCb)),
                     unsigned(Get(RoiField::_backColorCr)), IsHwOut709());
    if (text.isEmpty())
        return;
    const quint32 id = Id(Param::BackgroundColor);
    if (force || StateS(id) != text)
        PutS(id, text);
}
