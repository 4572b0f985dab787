// What the ROI scaler block's fields and the status image mean to the
// wrappers: the rasters, the regions, the orientation, the audio
// selection, the delay limits, and the control bits the steps set.
#ifndef PORTVANE_ROISCALER_DECISIONS_BLOCKVALUES_H
#define PORTVANE_ROISCALER_DECISIONS_BLOCKVALUES_H

#include <QRect>
#include <QSize>

#include "roiscaler/decisions/blockimage.h"

namespace roiscaler {

// _roiCtrl: bits 0 and 1 the region in use, bit 2 set by every geometry
// step; a forced readback sets bits 2 and 4.
constexpr int kRoiInUse = 0x03;
constexpr int kRoiCtrlSet = 0x04;
constexpr int kForcedRoiCtrlBits = 0x14;

// _swStateSelect2: the client's frame-delay choice, and the 180-degree
// marker (the rotation carried out as both flips inverted).
constexpr int kFrameDelayChoice = 0x01;
constexpr int kHalfTurnMarker = 0x02;

// _audioControl: the audio input selection's bits and the conversion bit.
constexpr int kAudioBit2 = 0x04;
constexpr int kAudioBit6 = 0x40;
constexpr int kAudioBit7 = 0x80;
constexpr int kAudioConversionBit = 0x02;

// The output format and rate codes of _sdiOutVideoCtrl.
int OutputFormatCode(const BlockImage& block);
int OutputRateCode(const BlockImage& block);
// The output raster of the block's format code.
QSize OutRaster(const BlockImage& block);
// BT.709 colour: every output but the two standard-definition ones.
bool IsHdOutput(const BlockImage& block);
// The raster the scaler measures on its input.
QSize MeasuredRaster(const UByte* status);

// Whether the block's measured input has a line total.
bool InputMeasured(const BlockImage& block);
// The stored input timing takes the measured one (the delay bits kept).
void RefreshStoredTiming(BlockImage& block);

QRect InRegion(const BlockImage& block);
QRect OutRegion(const BlockImage& block);
void PutInRegion(BlockImage& block, int x, int y, int w, int h);
void PutOutRegion(BlockImage& block, int x, int y, int w, int h);

// The rotation clients see (0, 90, 180, 270 degrees as 0 to 3): 180 is
// rotation 0 or 1 under the marker.
quint32 RotationValue(const BlockImage& block);
// One frame of delay is in effect: a rotation, the marker, a flip or the
// delay itself.
bool FrameDelayInEffect(const BlockImage& block);
// A flip as clients see it: relative to the 180-degree marker.
bool ShownFlip(const BlockImage& block, int flipField);

// The audio input selection the block holds (bit 7 set 3; bits 6 and 2 1;
// bit 2 alone 2; else 0); 0 without a link.
int AudioSelection(const BlockImage& block, bool connected);

// The largest genlock delays of the block's output format; false, with
// both untouched, for a format without limits.
bool DelayMax(const BlockImage& block, int& hMax, int& vMax);

} // namespace roiscaler

#endif
