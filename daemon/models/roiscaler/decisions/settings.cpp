#include "roiscaler/decisions/settings.h"

#include <QRegularExpression>

#include <algorithm>

#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/values/colorspace.h"

namespace roiscaler {

namespace {

using F = RoiField;

const int kRotation90 = 2;
const int kRotation270 = 3;

// The block changed: it goes out (streamed first when stream is set) and
// the configuration timer restarts.
RoiOutcome Changed(RoiScene scene, bool stream)
{
    RoiOutcome outcome(std::move(scene));
    outcome.Send(stream, true);
    outcome.Add(effect::RestartTimer{});
    return outcome;
}

RoiOutcome Unchanged(RoiScene scene)
{
    return RoiOutcome(std::move(scene));
}

// Undoes a 180-degree rotation: the marker goes, the flips come back.
void LeaveHalfTurn(BlockImage& block, int state2)
{
    if (!(state2 & kHalfTurnMarker))
        return;
    block.Set(F::_swStateSelect2, state2 & ~kHalfTurnMarker);
    block.Set(F::_horizontalFlip, !block[F::_horizontalFlip]);
    block.Set(F::_verticalFlip, !block[F::_verticalFlip]);
}

// A flip as the client sees it (relative to a 180-degree rotation); turning
// it off applies the chosen frame delay.
RoiOutcome SetFlip(const RoiContext& context, RoiScene scene, int flipField, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    BlockImage& block = scene.block;
    const int state2 = block[F::_swStateSelect2];
    block.Set(flipField, (state2 & kHalfTurnMarker) ? value == 0 : value != 0);
    if (value == 0)
        block.Set(F::_frameDelay, (state2 & kFrameDelayChoice) != 0);
    return Changed(std::move(scene), true);
}

} // namespace

RoiOutcome SetSmpteRange(const RoiContext& context, RoiScene scene, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    scene.block.Set(F::_isSmpte, value == 1);
    return Changed(std::move(scene), true);
}

RoiOutcome SetEdgeFiltering(const RoiContext& context, RoiScene scene, bool on)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    scene.block.Set(F::_sharpBlanking, !on);
    return Changed(std::move(scene), true);
}

RoiOutcome SetFlickerFiltering(const RoiContext& context, RoiScene scene, bool on)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    scene.block.Set(F::_flickerFiltering, on);
    return Changed(std::move(scene), true);
}

RoiOutcome SetBackgroundColor(const RoiContext& context, RoiScene scene, const QString& colorText)
{
    if (!context.connected || colorText.isEmpty())
        return Unchanged(std::move(scene));
    UByte y = 0, cb = 0, cr = 0;
    ColorTextToYCbCr(colorText, y, cb, cr, IsHdOutput(scene.block));
    scene.block.Set(F::_backColorY, y);
    scene.block.Set(F::_backColorCb, cb);
    scene.block.Set(F::_backColorCr, cr);
    return Changed(std::move(scene), context.model.backgroundStreams);
}

RoiOutcome SetRotation(const RoiContext& context, RoiScene scene, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    BlockImage& block = scene.block;
    const int state2 = block[F::_swStateSelect2];
    switch (value) {
    case 0:
        block.Set(F::_rotation, 0);
        block.Set(F::_frameDelay, (state2 & kFrameDelayChoice) != 0);
        LeaveHalfTurn(block, state2);
        break;
    case 1:
        block.Set(F::_rotation, kRotation90);
        block.Set(F::_frameDelay, 0);
        LeaveHalfTurn(block, state2);
        break;
    case 2:
        // Already turned: inverting the flips again would undo the turn
        // while the marker still shows it.
        if (state2 & kHalfTurnMarker)
            break;
        block.Set(F::_swStateSelect2, state2 | kHalfTurnMarker);
        block.Set(F::_horizontalFlip, !block[F::_horizontalFlip]);
        block.Set(F::_verticalFlip, !block[F::_verticalFlip]);
        block.Set(F::_rotation, 0);
        break;
    case 3:
        block.Set(F::_rotation, kRotation270);
        LeaveHalfTurn(block, state2);
        break;
    default:
        break;
    }
    return Changed(std::move(scene), context.model.rotationStreams);
}

RoiOutcome SetFrameDelay(const RoiContext& context, RoiScene scene, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    BlockImage& block = scene.block;
    const int state2 = block[F::_swStateSelect2];
    block.Set(F::_swStateSelect2, value != 0 ? state2 | kFrameDelayChoice : state2 & ~kFrameDelayChoice);
    const int rotation = block[F::_rotation];
    if ((rotation == 0 || rotation == 1) && !block[F::_horizontalFlip] && !block[F::_verticalFlip]
        && !(state2 & kHalfTurnMarker)) {
        block.Set(F::_frameDelay, value != 0);
        block.Set(F::_rotation, 0);
    }
    return Changed(std::move(scene), true);
}

RoiOutcome SetHorizFlip(const RoiContext& context, RoiScene scene, int value)
{
    return SetFlip(context, std::move(scene), F::_horizontalFlip, value);
}

RoiOutcome SetVertFlip(const RoiContext& context, RoiScene scene, int value)
{
    return SetFlip(context, std::move(scene), F::_verticalFlip, value);
}

RoiOutcome SetEdid(const RoiContext& context, RoiScene scene, int value)
{
    if (!context.connected || !context.model.Has(Param::EDIDFlowThru))
        return Unchanged(std::move(scene));
    scene.block.Set(F::_edidSwitch, value == 1);
    RoiOutcome outcome(std::move(scene));
    outcome.Send(false, true);
    return outcome;
}

RoiOutcome SetGenlockSource(const RoiContext& context, RoiScene scene, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    scene.block.Set(F::_genLockCtrl, (scene.block[F::_genLockCtrl] & ~0x06) | (value & 0x03) << 1);
    return Changed(std::move(scene), context.model.genlockSourceStreams);
}

RoiOutcome SetHorizontalDelay(const RoiContext& context, RoiScene scene, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    scene.block.Set(F::_horizontalDelay, ValidHDelay(scene.block, value) & 0xFFFF);
    return Changed(std::move(scene), true);
}

RoiOutcome SetVerticalDelay(const RoiContext& context, RoiScene scene, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    scene.block.Set(F::_verticalDelay, ValidVDelay(scene.block, value) & 0xFFFF);
    return Changed(std::move(scene), true);
}

RoiOutcome SetAudio(const RoiContext& context, RoiScene scene, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    int control = scene.block[F::_audioControl];
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
    scene.block.Set(F::_audioControl, control);
    return Changed(std::move(scene), true);
}

RoiOutcome SetAnalogMap(const RoiContext& context, RoiScene scene, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    scene.block.Set(F::_audioControl, (scene.block[F::_audioControl] & ~0x18) | (value & 0x03) << 3);
    return Changed(std::move(scene), true);
}

RoiOutcome SetAudioConversion(const RoiContext& context, RoiScene scene, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    const int control = scene.block[F::_audioControl];
    scene.block.Set(F::_audioControl, value != 0 ? control | kAudioConversionBit : control & ~kAudioConversionBit);
    return Changed(std::move(scene), true);
}

RoiOutcome SetModuleName(const RoiContext& context, RoiScene scene, const QString& name)
{
    RoiOutcome outcome(std::move(scene));
    if (context.connected)
        outcome.Add(effect::WriteModuleName{name});
    return outcome;
}

int ValidHDelay(const BlockImage& block, int delay)
{
    int hMax = -1, vMax = -1;
    DelayMax(block, hMax, vMax);
    // No limits for the format, or a negative delay (an unsigned value past
    // int range): 0.
    if (hMax == -1 || delay < 0)
        return 0;
    return hMax < delay ? hMax : delay;
}

int ValidVDelay(const BlockImage& block, int delay)
{
    int hMax = -1, vMax = -1;
    DelayMax(block, hMax, vMax);
    if (vMax == -1 || delay < 0)
        return 0;
    return vMax < delay ? vMax : delay;
}

bool DelaysToClamp(const BlockImage& block, int& hDelay, int& vDelay)
{
    int hMax = -1, vMax = -1;
    if (!DelayMax(block, hMax, vMax))
        return false;
    const int h = block[F::_horizontalDelay];
    const int v = block[F::_verticalDelay];
    if (h <= hMax && v <= vMax)
        return false;
    hDelay = std::min(h, hMax);
    vDelay = std::min(v, vMax);
    return true;
}

QString EdidName(const UByte* bytes, int count)
{
    int length = 0;
    while (length < count && bytes[length] != 0)
        ++length;
    QString name = QString::fromLatin1(reinterpret_cast<const char*>(bytes), length);
    name.remove(QRegularExpression(QStringLiteral("[^ -~]")));
    return name.simplified();
}

QString DefaultEdidName()
{
    return QStringLiteral("Velora Mardex");
}

} // namespace roiscaler
