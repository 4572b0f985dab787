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
    const quint32 formatId = Id(index::OutRoiFormat);
    if (formatIndex >= 0) {
        if (StateU(formatId) != quint32(formatIndex))
            PutU(formatId, formatIndex);
        else
            UpdateOutProxy();
    }
    if (_profile.rateAlarms && (GetStatusBits(59, 0x80, 7) || GetStatusBits(59, 0x20, 5))) {
        PutS(Id(index::ImageSdiOutFormat), Tr("Disabled"));
    } else if (const RasterFormat* row = RasterFormatAt(int(StateU(formatId)))) {
        PutS(Id(index::ImageSdiOutFormat), QString::fromLatin1(row->name));
    }

    // Output raster.
    int outW = 0, outH = 0;
    GetHwOutSize(outW, outH);
    PutU(Id(index::CfgOutScreenW), outW);
    PutU(Id(index::CfgOutScreenH), outH);
    _outProxy->SetSourceSize(outW, outH);

    // Input selection.
    const int swState = Get(RoiField::_swStateSelect);
    const bool modesValid = !_profile.modesNeedMatchingInput || GetStatusBits(20, 0x40, 6);
    bool inputModeWritten = false;
    if (_profile.oneIndexSelection) {
        inputModeWritten = PutUChanged(Id(index::CfgInMode), modesValid ? swState & 0x0F : 0, force);
    } else {
        const InputMode mode = DecodeInputMode(swState & 0x0F);
        inputModeWritten = PutUChanged(Id(index::CfgInMode), mode.selection, force);
        if (mode.selection == kFixedAspect)
            inputModeWritten |= PutUChanged(ProcessingId(processing::FixedAspectMode), mode.aspect, false);
        if (mode.selection == kFixedSize)
            inputModeWritten |= PutUChanged(ProcessingId(processing::FixedSizeMode), mode.size, false);
    }
    if (inputModeWritten || force) {
        _lastInSize = SetInputFormat(_statusImage);
        PutU(Id(index::CfgInScreenW), _lastInSize.width);
        PutU(Id(index::CfgInScreenH), _lastInSize.height);
        _inProxy->SetSourceSize(_lastInSize.width, _lastInSize.height);
        UpdateInProxy();
    }

    PutUChanged(Id(index::InRgbRange), Get(RoiField::_isSmpte) ? 1 : 0, force);

    // Output fit.
    const int fit = modesValid ? (swState >> 4) & 0x0F : 0;
    if (PutUChanged(Id(index::CfgOutMode), quint32(fit), force) && Connected())
        SelectRoiFit(fit, false);

    if (_profile.HasProcessing()) {
        const int state2 = Get(RoiField::_swStateSelect2);
        const bool marker = (state2 & kHalfTurnMarker) != 0;
        PutUChanged(ProcessingId(processing::OutRotation), RotationValue(), force);
        PutBChanged(ProcessingId(processing::OutFrameDelay), FrameDelayInEffect(), false);
        PutBChanged(ProcessingId(processing::OutFrameDelayCk), (state2 & kFrameDelayChoice) != 0, false);
        PutBChanged(ProcessingId(processing::OutVertFlipCk), bool(Get(RoiField::_verticalFlip)) != marker, force);
        PutBChanged(ProcessingId(processing::OutHorizFlipCk), bool(Get(RoiField::_horizontalFlip)) != marker, force);
    }

    UpdateAudioTab(force);
    UpdateGenlockTab(force);
    UpdateBackgroundColor(true);
}

void RoiScalerWrapper::UpdateInfoandUpdateTabs()
{
    if (Connected()) {
        PutS(Id(index::FpgaVersion), GetFirmwareVersion());
        PutS(Id(index::ReleaseVersion), GetReleaseVersion());
        PutS(Id(index::SerialNumber), GetSerialNumber());
        UpdateInfoTab(_engine->GetModuleType());
        return;
    }
    const QString unknown = Tr("Unknown");
    for (quint32 idx : {index::SerialNumber, index::FpgaVersion, index::ReleaseVersion, index::ModuleName,
                        index::ModuleType, index::ModuleAssemblyBd})
        PutS(Id(idx), unknown);
}

void RoiScalerWrapper::UpdateInfoTab(const CModuleType& moduleRecord)
{
    if (_profile.logsInfoTab)
        qDebug() << " UpdateHestraInfoTab name" << moduleRecord._moduleName;
    const auto putChanged = [this](quint32 idx, const QString& text) {
        if (StateS(Id(idx)) != text)
            PutS(Id(idx), text);
    };
    putChanged(index::ModuleName, moduleRecord._moduleName);
    const int type = moduleRecord._moduleTypeID;
    putChanged(index::ModuleType, type >= 0 && type < CModuleType::kModuleTypeCount
                                      ? CModuleType::_moduleTypeIDNames[size_t(type)].name
                                      : QString());
    putChanged(index::ModuleAssemblyBd, moduleRecord._boardAssemblyID);
}

void RoiScalerWrapper::UpdateAudioTab(bool force)
{
    const int control = Get(RoiField::_audioControl);
    PutUChanged(Id(index::AudInSelect), quint32(GetAudioSelectIndex()), force);
    PutUChanged(Id(index::AudAnalogOutMap), quint32((control >> 3) & 0x03), force);
    PutUChanged(Id(index::AudConversion), quint32((control >> 1) & 0x01), force);
}

void RoiScalerWrapper::UpdateGenlockTab(bool force)
{
    PutUChanged(Id(index::Genlock), quint32((Get(RoiField::_genLockCtrl) >> 1) & 0x03), force);
    TryHVDelayEnable();
    PutBChanged(Id(index::OutEdgeFiltering), !Get(RoiField::_sharpBlanking), force);
    PutBChanged(Id(index::OutFlickerFiltering), Get(RoiField::_flickerFiltering) != 0, force);
    int hMax = -1, vMax = -1;
    GetHVDelayMax(hMax, vMax);
    const int hDelay = Get(RoiField::_horizontalDelay);
    const int vDelay = Get(RoiField::_verticalDelay);
    PutUChanged(Id(index::GenHDelay), quint32(hDelay), force);
    PutUChanged(Id(index::GenVDelay), quint32(vDelay), force);
    if (hMax == -1 || vMax == -1)
        return;
    PutUChanged(Id(index::GenHDelayMax), quint32(hMax), force);
    PutUChanged(Id(index::GenVDelayMax), quint32(vMax), force);
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
    const quint32 id = Id(index::BackgroundColor);
    if (force || StateS(id) != text)
        PutS(id, text);
}
