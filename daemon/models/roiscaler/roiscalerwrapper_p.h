// What the parts of the ROI scaler wrapper share and no one else needs: the
// bits of the block's control registers they read and write, and the
// re-entrancy guard of the fit and constraint steps.
#ifndef PORTVANE_ROISCALER_ROISCALERWRAPPER_P_H
#define PORTVANE_ROISCALER_ROISCALERWRAPPER_P_H

#include <QMutex>

namespace roiscaler {

// _roiCtrl: bits 0 and 1 the region in use, bit 2 set by every geometry
// step; a forced readback sets bits 2 and 4.
const int kRoiInUse = 0x03;
const int kRoiCtrlSet = 0x04;
const int kForcedRoiCtrlBits = 0x14;

// _swStateSelect2: the client's frame-delay choice, and the 180-degree
// marker (the rotation carried out as both flips inverted).
const int kFrameDelayChoice = 0x01;
const int kHalfTurnMarker = 0x02;

// Takes a step's guard with tryLock, and releases it when the step ends;
// a step that finds its guard held does nothing.
class TryLockGuard {
public:
    explicit TryLockGuard(QMutex& mutex) : _mutex(mutex), _locked(mutex.tryLock()) {}
    ~TryLockGuard()
    {
        if (_locked)
            _mutex.unlock();
    }
    TryLockGuard(const TryLockGuard&) = delete;
    TryLockGuard& operator=(const TryLockGuard&) = delete;
    bool Locked() const { return _locked; }

private:
    QMutex& _mutex;
    bool _locked;
};

} // namespace roiscaler

#endif
