#include "roiscaler/decisions/blockvalues.h"

#include "roiscaler/values/statusimage.h"
#include "roiscaler/values/tables.h"

namespace roiscaler {

namespace {

using F = RoiField;

// The input timing bytes, stored and measured, in the same order.
constexpr int kTimingBytes = F::_stHzThousandsReg2 - F::_stInputHStartLSB + 1;
static_assert(F::_fpgaHzThousandsReg2 - F::_fpgaInputHStartLSB + 1 == kTimingBytes,
              "stored and measured timing differ");

} // namespace

int OutputFormatCode(const BlockImage& block)
{
    return (block[F::_sdiOutVideoCtrl] >> 4) & 0x07;
}

int OutputRateCode(const BlockImage& block)
{
    return block[F::_sdiOutVideoCtrl] & 0x0F;
}

QSize OutRaster(const BlockImage& block)
{
    return OutputRasterSize(OutputFormatCode(block));
}

bool IsHdOutput(const BlockImage& block)
{
    return IsHdOutputFormat(OutputFormatCode(block));
}

QSize MeasuredRaster(const UByte* status)
{
    const InputFormat f = MeasuredInputFormat(status);
    return QSize(f.width, f.height);
}

bool InputMeasured(const BlockImage& block)
{
    return block[F::_fpgaInputHTotalLSB] != 0 || block[F::_fpgaInputHTotalAndInputVStartMSB] != 0;
}

void RefreshStoredTiming(BlockImage& block)
{
    for (int i = 0; i < kTimingBytes; ++i)
        block.Set(F::_stInputHStartLSB + i, block[F::_fpgaInputHStartLSB + i]);
    const int hDelay = block[F::_horizontalDelay];
    const int vDelay = block[F::_verticalDelay];
    block.Set(F::_stInputMiscSignal,
              ((vDelay >> 8) & 0x01) << 7 | ((hDelay >> 8) & 0x0F) << 3 | (block[F::_fpgaInputMiscSignal] & 0x07));
}

QRect InRegion(const BlockImage& block)
{
    return QRect(block[F::_inputHStartOffset], block[F::_inputVStartOffset], block[F::_inputActivePixels],
                 block[F::_inputActiveLines]);
}

QRect OutRegion(const BlockImage& block)
{
    return QRect(block[F::_outputHStartOffset], block[F::_outputVStartOffset], block[F::_outputActivePixels],
                 block[F::_outputActiveLines]);
}

void PutInRegion(BlockImage& block, int x, int y, int w, int h)
{
    block.Set(F::_inputHStartOffset, x);
    block.Set(F::_inputVStartOffset, y);
    block.Set(F::_inputActivePixels, w);
    block.Set(F::_inputActiveLines, h);
}

void PutOutRegion(BlockImage& block, int x, int y, int w, int h)
{
    block.Set(F::_outputHStartOffset, x);
    block.Set(F::_outputVStartOffset, y);
    block.Set(F::_outputActivePixels, w);
    block.Set(F::_outputActiveLines, h);
}

quint32 RotationValue(const BlockImage& block)
{
    switch (block[F::_rotation]) {
    case 0:
    case 1:
        return (block[F::_swStateSelect2] & kHalfTurnMarker) ? 2 : 0;
    case 2:
        return 1;
    case 3:
        return 3;
    default:
        return 0;
    }
}

bool FrameDelayInEffect(const BlockImage& block)
{
    const int rotation = block[F::_rotation];
    return rotation == 2 || rotation == 3 || (block[F::_swStateSelect2] & kHalfTurnMarker) || block[F::_verticalFlip]
           || block[F::_horizontalFlip] || block[F::_frameDelay];
}

bool ShownFlip(const BlockImage& block, int flipField)
{
    return bool(block[flipField]) != bool(block[F::_swStateSelect2] & kHalfTurnMarker);
}

int AudioSelection(const BlockImage& block, bool connected)
{
    if (!connected)
        return 0;
    const int control = block[F::_audioControl];
    if (control & kAudioBit7)
        return 3;
    if ((control & kAudioBit6) && (control & kAudioBit2))
        return 1;
    if (control & kAudioBit2)
        return 2;
    return 0;
}

bool DelayMax(const BlockImage& block, int& hMax, int& vMax)
{
    return DelayLimits(OutputFormatCode(block), OutputRateCode(block), hMax, vMax);
}

} // namespace roiscaler
