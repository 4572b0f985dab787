// Once a second: the status image into parameter values, and the watch of
// the input format, which rereads the converter and restores or resets the
// fit when the measured input departs from the set one.
#include "roiscaler/roiscalerwrapper.h"
#include "roiscaler/roiscalerwrapper_p.h"

#include <QDebug>

#include "catalog/assemblyrecords.h"
#include "catalog/cversion.h"
#include "engine/ccmdengine.h"
#include "roiscaler/roitables.h"
#include "roiscaler/screenproxy.h"

using namespace roiscaler;

namespace {

// Releases up to 1.1 do not watch the input format.
const int kFirstWatchingRelease = 0x0101;
enum { kRed = 0, kBlue = 1, kBlack = 2 };

// The degree sign as UTF-8, one byte per character, as the store sends
// texts on.
const char kDegreeSign[] = "\xC2\xB0";
const char* const kAngles[] = {"0", "90", "180", "270"};

} // namespace

bool RoiScalerWrapper::RereadOrDisconnect(int line)
{
    const int result = _engine->ReadConfiguration();
    if (result == 0)
        return true;
    // Lines 1 to 3 carry the result.
    if (line <= 3)
        qDebug() << _model.disconnectLines[line - 1] << result;
    else
        qDebug() << _model.disconnectLines[line - 1];
    DisconnectDevice();
    return false;
}

void RoiScalerWrapper::RecordModes()
{
    const int swState = Get(RoiField::_swStateSelect);
    _lastOutMode = (swState >> 4) & 0x0F;
    if (_model.oneIndexSelection) {
        _lastInMode[0] = swState & 0x0F;
        _lastInMode[1] = 0;
        _lastInMode[2] = 0;
    } else {
        const InputMode mode = DecodeInputMode(swState & 0x0F);
        _lastInMode[0] = int(mode.selection);
        _lastInMode[1] = int(mode.aspect);
        _lastInMode[2] = int(mode.size);
    }
}

void RoiScalerWrapper::RevertToAuto()
{
    qDebug() << "Revert to auto mode";
    PutU(Id(Param::CfgOutMode), quint32(0));
    if (Connected())
        SelectRoiFit(0, false);
    if (_model.rewritesAfterRevert)
        WriteBlock();
}

bool RoiScalerWrapper::WatchInputFormat(bool inputPresent, const InputFormat& measured, const InputFormat& set,
                                        bool matches, bool unchanged)
{
    if (!inputPresent)
        return true;
    const CVersion release =
        _assemblyRecords ? _assemblyRecords->FindRelease(_engine->GetModuleType()) : CVersion();
    if (int(release.major) * 256 + int(release.minor) <= kFirstWatchingRelease)
        return true;

    const bool stable = unchanged || matches || measured == set;
    if (stable) {
        if (!_inputChangeSeen) {
            _lastInSize = set;
            _inputChangeSeen = true;
            if (!RereadOrDisconnect(3))
                return false;
            RecordModes();
        }
        return true;
    }
    if (!_paramChanged) {
        if (!RereadOrDisconnect(2))
            return false;
    } else {
        _paramChanged = false;
        _lastInSize = set;
        if (!RereadOrDisconnect(1))
            return false;
        RecordModes();
    }
    RevertToAuto();
    return true;
}

bool RoiScalerWrapper::UpdateInputStatus(bool inputPresent, const InputFormat& measured, const InputFormat& set,
                                         bool matches, bool unchanged, bool& proxyEnabled)
{
    const QSize raster = MeasuredInRaster();
    const QSize proxySource(_inProxy->SourceWidth(), _inProxy->SourceHeight());
    proxyEnabled = _inProxy->IsEnabled();
    const QString text = GetInputProtocolString();

    if (!inputPresent) {
        PutS(Id(Param::ImageInEnabled), Tr("Disconnected"));
        PutS(Id(Param::ImageInSize), QStringLiteral("0x0"));
        PutS(Id(Param::ImageInRoi), QStringLiteral("Sel: 0x0"));
        PutS(Id(Param::ImageInAudio), Tr("No audio"));
        return true;
    }
    if (proxySource == raster && proxyEnabled && StateS(Id(Param::ImageInEnabled)) == text)
        return true;

    PutS(Id(Param::ImageInSize), QStringLiteral("%1x%2").arg(raster.width()).arg(raster.height()));
    PutU(Id(Param::CfgInScreenW), raster.width());
    PutU(Id(Param::CfgInScreenH), raster.height());
    _inProxy->SetSourceSize(raster.width(), raster.height());

    if (!matches && measured != set && unchanged) {
        if (!_paramChanged) {
            if (!RereadOrDisconnect(5))
                return false;
            // The input came back in the recorded format: restore the
            // recorded selection and fit over the whole measured picture.
            PutInRoi(0, 0, raster.width(), raster.height());
            PutU(Id(Param::CfgInMode), _lastInMode[0]);
            if (_model.oneIndexSelection) {
                if (Connected())
                    SelectRoiConstraintIndex(_lastInMode[0], true);
            } else {
                PutU(Id(Param::CfgInFixedAspectMode), _lastInMode[1]);
                PutU(Id(Param::CfgInFixedSizeMode), _lastInMode[2]);
                if (Connected())
                    SelectRoiConstraints(_lastInMode[0], _lastInMode[1], _lastInMode[2], true);
            }
            if (_model.rewritesAfterRevert)
                WriteBlock();
            PutU(Id(Param::CfgOutMode), _lastOutMode);
            if (Connected())
                SelectRoiFit(_lastOutMode, true);
            if (_model.rewritesAfterRevert)
                WriteBlock();
        } else {
            _lastInSize = set;
            _paramChanged = false;
            if (!RereadOrDisconnect(4))
                return false;
            RecordModes();
            RevertToAuto();
        }
    } else {
        if (Connected())
            ReapplyConstraint(int(StateU(Id(Param::CfgInMode))), false);
        if (Connected())
            SelectRoiFit(int(StateU(Id(Param::CfgOutMode))), false);
    }

    const bool sync = _model.rateAlarms && GetStatusBits(59, 0x20, 5);
    const bool exceeds = _model.rateAlarms && GetStatusBits(59, 0x80, 7);
    PutS(Id(Param::ImageInEnabled), sync ? Tr("Sync mode") : exceeds ? Tr("Exceeds max rate") : text);
    if (_model.Has(Param::EDIDFlowThru))
        PutS(Id(Param::EDIDNameStr), GetEdidName());
    const bool audioPresent =
        _model.audioPresentInByte59 ? GetStatusBits(59, 0x40, 6) != 0 : GetStatusBits(53, 0x40, 6) == 0;
    PutS(Id(Param::ImageInAudio),
         !audioPresent ? Tr("No audio") : GetStatusBits(53, 0x80, 7) ? Tr("Audio 2Ch") : Tr("Audio 8Ch"));
    return true;
}

void RoiScalerWrapper::UpdateProcessingStatus()
{
    const bool procLimit = Get(RoiField::_procLimit) != 0;
    PutU(Id(Param::ProcLimitDisplay), procLimit ? 1u : 0u);
    const quint32 rotation = RotationValue();
    PutU(Id(Param::CfgOutRotation), rotation);
    PutS(Id(Param::RotationStatusStr),
         Tr(kAngles[procLimit ? 0 : rotation]) + QString::fromLatin1(kDegreeSign));
    PutU(Id(Param::RotationStatusColor), procLimit && rotation != 0 ? kRed : kBlack);
}

void RoiScalerWrapper::UpdateGenlockStatus()
{
    const bool byte20 = _model.genlockStateInByte20;
    const int g = byte20 ? GetStatusBits(20, 0x06, 1) : GetStatusBits(53, 0x30, 4);
    QString lock, status;
    switch (g) {
    case 2:
        lock = Tr("Lock RefIn");
        status = Tr("RefIn");
        break;
    case 3:
        lock = Tr("Free Run");
        status = Tr("Free Run");
        break;
    case 1:
        if (!byte20) {
            lock = Tr("Lock HDMI");
            status = Tr("HDMI");
            break;
        }
        [[fallthrough]];
    default:
        lock = Tr("Locking");
        status = Tr("Locking");
        break;
    }
    PutS(Id(Param::ImageSdiOutGenLock), lock);
    PutS(Id(Param::GenlockStatusStr), status);

    const int s = (Get(RoiField::_genLockCtrl) >> 1) & 0x03;
    TryHVDelayEnable();
    int color = kBlack;
    if (g == 0 || (s == 2 && g != 2) || (!byte20 && s == 1 && g != 1))
        color = kRed;
    else if (s == 0)
        color = kBlue;
    PutU(Id(Param::GenlockLabelColor), color);
}

void RoiScalerWrapper::UpdateDeviceStatus()
{
    if (!_connected || _busy || !Connected())
        return;
    if (_model.statusWaitsForInput && _syncCountdown > 0 && !InputMeasured())
        return;

    const bool inputPresent = GetStatusBits(43, 0x80, 7) != 0;
    const InputFormat measured = MeasuredInputFormat(_statusImage);
    const InputFormat set = SetInputFormat(_statusImage);
    const bool matches = GetStatusBits(20, 0x40, 6) != 0;
    const bool unchanged = _lastInSize == measured;

    if (!WatchInputFormat(inputPresent, measured, set, matches, unchanged))
        return;
    bool proxyEnabled = true;
    if (!UpdateInputStatus(inputPresent, measured, set, matches, unchanged, proxyEnabled))
        return;

    if (_model.HasProcessing())
        UpdateProcessingStatus();
    UpdateBackgroundColor(false);
    PutS(Id(Param::ImageSdiOutAudio), Tr(_model.audioTexts[GetAudioSelectIndex() & 0x03]));

    if (_model.HasProcessing()) {
        const bool procLimit = Get(RoiField::_procLimit) != 0;
        const bool frameDelay = FrameDelayInEffect();
        if (StateB(Id(Param::OutFrameDelay)) != frameDelay)
            PutB(Id(Param::OutFrameDelay), frameDelay);
        const int state2 = Get(RoiField::_swStateSelect2);
        const bool marker = (state2 & kHalfTurnMarker) != 0;
        if (!procLimit) {
            PutS(Id(Param::ImageOutFrameDelay),
                 frameDelay ? Tr("Frame Delay: On") : Tr("Frame Delay: Off"));
            PutU(Id(Param::FrameDelayLabelColor), quint32(kBlack));
            PutU(Id(Param::HorizFlipLabelColor), quint32(kBlack));
            PutU(Id(Param::VertFlipLabelColor), quint32(kBlack));
        } else {
            PutS(Id(Param::ImageOutFrameDelay), Tr("Frame Delay: Off"));
            PutU(Id(Param::FrameDelayLabelColor), (state2 & kFrameDelayChoice) ? kRed : kBlack);
            PutU(Id(Param::HorizFlipLabelColor),
                 bool(Get(RoiField::_horizontalFlip)) != marker ? kRed : kBlack);
            PutU(Id(Param::VertFlipLabelColor),
                 bool(Get(RoiField::_verticalFlip)) != marker ? kRed : kBlack);
        }
    }

    PutB(Id(Param::InConnected), inputPresent);
    if (inputPresent != proxyEnabled) {
        _inProxy->SetEnabled(inputPresent);
        if (_model.outputProxyFollowsInput)
            _outProxy->SetEnabled(inputPresent);
    }

    const bool outputConnected = GetStatusBits(53, 0x08, 3) == 0;
    PutS(Id(Param::ImageOutEnabled), outputConnected ? Tr(_model.outConnectedText) : Tr("Disconnected"));
    PutB(Id(Param::OutConnected), outputConnected);

    PutS(Id(Param::InScreenProxy), GetScreenProxy(0));
    PutS(Id(Param::OutScreenProxy), GetScreenProxy(1));

    bool reference = GetStatusBits(42, 0x80, 7) != 0;
    PutS(Id(Param::RefImageInputStatus), GetRefInFormat(reference));
    PutB(Id(Param::RefInValidColorState), reference);

    UpdateGenlockStatus();
}
