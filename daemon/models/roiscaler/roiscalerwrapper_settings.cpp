// The settings that are no geometry: filters, range, background colour,
// rotation, frame delay and flips, EDID, genlock and its delays, audio and
// the module name. Each changes the block, sends it and restarts the
// configuration timer; nothing happens while the link is down.
#include "roiscaler/roiscalerwrapper.h"
#include "roiscaler/roiscalerwrapper_p.h"

#include <QDebug>
#include <QRegularExpression>

#include "engine/ccmdengine.h"
#include "roiscaler/colorspace.h"
#include "roiscaler/roitables.h"

using namespace roiscaler;

namespace {

const int kRotation90 = 2;
const int kRotation270 = 3;

// _audioControl bits of the audio input selection.
const int kAudioBit2 = 0x04;
const int kAudioBit6 = 0x40;
const int kAudioBit7 = 0x80;
const int kAudioConversionBit = 0x02;

const UByte kRegisterInterface = 1;
const UByte kRegisterDevice = 0;
const ULWord kEdidNameAddress = 74;
const int kEdidNameBytes = 13;

} // namespace

void RoiScalerWrapper::SelectSmpteRange(int value)
{
    if (!Connected())
        return;
    Put(RoiField::_isSmpte, value == 1);
    SendBlock(true);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectOutEdgeFiltering(bool on)
{
    if (!Connected())
        return;
    Put(RoiField::_sharpBlanking, !on);
    SendBlock(true);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectOutFlickerFiltering(bool on)
{
    if (!Connected())
        return;
    Put(RoiField::_flickerFiltering, on);
    SendBlock(true);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectBackgroundColor(const QString& colorText)
{
    if (!Connected() || colorText.isEmpty())
        return;
    UByte y = 0, cb = 0, cr = 0;
    ColorTextToYCbCr(colorText, y, cb, cr, IsHwOut709());
    Put(RoiField::_backColorY, y);
    Put(RoiField::_backColorCb, cb);
    Put(RoiField::_backColorCr, cr);
    SendBlock(_model.backgroundStreams);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectOutRotation(int value)
{
    if (!Connected())
        return;
    const int state2 = Get(RoiField::_swStateSelect2);
    const bool marker = (state2 & kHalfTurnMarker) != 0;
    // Undoes a 180-degree rotation: the marker goes, the flips come back.
    auto leaveHalfTurn = [this, marker, state2] {
        if (!marker)
            return;
        Put(RoiField::_swStateSelect2, state2 & ~kHalfTurnMarker);
        Put(RoiField::_horizontalFlip, !Get(RoiField::_horizontalFlip));
        Put(RoiField::_verticalFlip, !Get(RoiField::_verticalFlip));
    };
    switch (value) {
    case 0:
        Put(RoiField::_rotation, 0);
        Put(RoiField::_frameDelay, (state2 & kFrameDelayChoice) != 0);
        leaveHalfTurn();
        break;
    case 1:
        Put(RoiField::_rotation, kRotation90);
        Put(RoiField::_frameDelay, 0);
        leaveHalfTurn();
        break;
    case 2:
        // Already turned: inverting the flips again would undo the turn
        // while the marker still shows it.
        if (marker)
            break;
        Put(RoiField::_swStateSelect2, state2 | kHalfTurnMarker);
        Put(RoiField::_horizontalFlip, !Get(RoiField::_horizontalFlip));
        Put(RoiField::_verticalFlip, !Get(RoiField::_verticalFlip));
        Put(RoiField::_rotation, 0);
        break;
    case 3:
        Put(RoiField::_rotation, kRotation270);
        leaveHalfTurn();
        break;
    default:
        break;
    }
    SendBlock(_model.rotationStreams);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectOutFrameDelay(int value)
{
    if (!Connected())
        return;
    const int state2 = Get(RoiField::_swStateSelect2);
    Put(RoiField::_swStateSelect2, value != 0 ? state2 | kFrameDelayChoice : state2 & ~kFrameDelayChoice);
    const int rotation = Get(RoiField::_rotation);
    if ((rotation == 0 || rotation == 1) && !Get(RoiField::_horizontalFlip) && !Get(RoiField::_verticalFlip)
        && !(state2 & kHalfTurnMarker)) {
        Put(RoiField::_frameDelay, value != 0);
        Put(RoiField::_rotation, 0);
    }
    SendBlock(true);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectOutHorizFlip(int value)
{
    if (!Connected())
        return;
    const int state2 = Get(RoiField::_swStateSelect2);
    // The client sees the flip relative to a 180-degree rotation.
    Put(RoiField::_horizontalFlip, (state2 & kHalfTurnMarker) ? value == 0 : value != 0);
    if (value == 0)
        Put(RoiField::_frameDelay, (state2 & kFrameDelayChoice) != 0);
    SendBlock(true);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectOutVertFlip(int value)
{
    if (!Connected())
        return;
    const int state2 = Get(RoiField::_swStateSelect2);
    Put(RoiField::_verticalFlip, (state2 & kHalfTurnMarker) ? value == 0 : value != 0);
    if (value == 0)
        Put(RoiField::_frameDelay, (state2 & kFrameDelayChoice) != 0);
    SendBlock(true);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectEDID(int value)
{
    if (!Connected() || !_model.Has(Param::EDIDFlowThru))
        return;
    Put(RoiField::_edidSwitch, value == 1);
    WriteBlock();
}

void RoiScalerWrapper::SelectGenlockSource(int value)
{
    if (!Connected())
        return;
    Put(RoiField::_genLockCtrl, (Get(RoiField::_genLockCtrl) & ~0x06) | (value & 0x03) << 1);
    SendBlock(_model.genlockSourceStreams);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectHorizontalDelay(int value)
{
    if (!Connected())
        return;
    ValidateHDelay(value);
    Put(RoiField::_horizontalDelay, value & 0xFFFF);
    SendBlock(true);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectVerticalDelay(int value)
{
    if (!Connected())
        return;
    ValidateVDelay(value);
    Put(RoiField::_verticalDelay, value & 0xFFFF);
    SendBlock(true);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectAudio(int value)
{
    if (!Connected())
        return;
    int control = Get(RoiField::_audioControl);
    switch (value) {
    case 1:
        control = (control & ~kAudioBit7) | kAudioBit2 | kAudioBit6;
        break;
    case 2:
        control = (control & ~(kAudioBit6 | kAudioBit7)) | kAudioBit2;
        break;
    case 3:
        control |= kAudioBit7;
        break;
    default:
        control &= ~(kAudioBit2 | kAudioBit6 | kAudioBit7);
        break;
    }
    Put(RoiField::_audioControl, control);
    SendBlock(true);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectAnalogMap(int value)
{
    if (!Connected())
        return;
    Put(RoiField::_audioControl, (Get(RoiField::_audioControl) & ~0x18) | (value & 0x03) << 3);
    SendBlock(true);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectAudioConversion(int value)
{
    if (!Connected())
        return;
    const int control = Get(RoiField::_audioControl);
    Put(RoiField::_audioControl, value != 0 ? control | kAudioConversionBit : control & ~kAudioConversionBit);
    SendBlock(true);
    StartConfigTimer();
}

void RoiScalerWrapper::SelectModuleName(const QString& name)
{
    if (!Connected())
        return;
    const int result = _engine->WriteModuleName(name);
    if (result == 0) {
        PutS(Id(Param::ModuleName), name);
        WriteBlock();
        emit ModuleNameChange();
    } else if (_model.logsModuleNameFailure) {
        qDebug() << "SetModuleName failed-result:" << result;
    }
    StartConfigTimer();
}

int RoiScalerWrapper::GetAudioSelectIndex()
{
    if (!Connected())
        return 0;
    const int control = Get(RoiField::_audioControl);
    if (control & kAudioBit7)
        return 3;
    if ((control & kAudioBit6) && (control & kAudioBit2))
        return 1;
    if (control & kAudioBit2)
        return 2;
    return 0;
}

void RoiScalerWrapper::GetHVDelayMax(int& hMax, int& vMax)
{
    const int control = Get(RoiField::_sdiOutVideoCtrl);
    DelayLimits((control >> 4) & 0x07, control & 0x0F, hMax, vMax);
}

void RoiScalerWrapper::ValidateHDelay(int& delay)
{
    int hMax = -1, vMax = -1;
    GetHVDelayMax(hMax, vMax);
    // No limits for the format, or a negative delay (an unsigned value past
    // int range): 0.
    if (hMax == -1 || delay < 0)
        delay = 0;
    else if (hMax < delay)
        delay = hMax;
}

void RoiScalerWrapper::ValidateVDelay(int& delay)
{
    int hMax = -1, vMax = -1;
    GetHVDelayMax(hMax, vMax);
    // No limits for the format, or a negative delay (an unsigned value past
    // int range): 0.
    if (vMax == -1 || delay < 0)
        delay = 0;
    else if (vMax < delay)
        delay = vMax;
}

void RoiScalerWrapper::TryHVDelayEnable()
{
    if (!Connected())
        return;
    const int refLock = GetStatusBits(53, 0x30, 4);
    const bool sourceBlocks = (Get(RoiField::_genLockCtrl) & 0x02) != 0;
    const bool blocked = refLock == 1 || refLock == 3 || sourceBlocks;
    QString alarm;
    if (GetStatusBits(42, 0x80, 7) == 0)
        alarm = Tr("No reference present");
    else if (blocked)
        alarm = Tr("Reference is incompatible with the Output Format");
    const quint32 alarmId = Id(Param::GenlockRefAlarmStr);
    if (StateS(alarmId) != alarm)
        PutS(alarmId, alarm);
    PutB(Id(Param::GenDelayEnable), !blocked);
    PutB(Id(Param::GenDelayShow), !sourceBlocks);
}

QString RoiScalerWrapper::GetEdidName()
{
    QString name = QStringLiteral("Velora Mardex");
    if (!Connected())
        return name;
    UByte bytes[kEdidNameBytes] = {};
    if (_engine->ReadDeviceDataImmediate(kRegisterInterface, kRegisterDevice, kEdidNameAddress, bytes, kEdidNameBytes) != 0)
        return name;
    int length = 0;
    while (length < kEdidNameBytes && bytes[length] != 0)
        ++length;
    name = QString::fromLatin1(reinterpret_cast<const char*>(bytes), length);
    name.remove(QRegularExpression(QStringLiteral("[^ -~]")));
    return name.simplified();
}
