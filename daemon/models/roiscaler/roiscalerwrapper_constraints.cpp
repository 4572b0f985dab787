// The constraint step: a selection of the input region (whole input,
// free, fixed aspect, fixed size, the output's size) shapes the region,
// goes to the device as a code, and keeps the output fit paired with it.
#include "roiscaler/roiscalerwrapper.h"
#include "roiscaler/roiscalerwrapper_p.h"

#include <QDebug>

#include "roiscaler/roimapping.h"
#include "roiscaler/roitables.h"
#include "roiscaler/screenproxy.h"

using namespace roiscaler;

namespace {

// Rows of the merged list that stand for the output raster.
const int kOutputAspectRow = 3;
const int kOutputSizeRow = 9;

} // namespace

// One selection, resolved from the lists.
struct RoiScalerWrapper::ConstraintChoice {
    int selection;  // what eParamID_CfgInMode shows
    int aspectIndex;
    int sizeIndex;
    int kind;       // the input proxy's constraint mode
    int width;      // the aspect or size
    int height;
    bool inUse;
};

bool RoiScalerWrapper::ResolveConstraint(int selection, int aspectIndex, int sizeIndex, ConstraintChoice& choice)
{
    const ConstraintRow* row = RowAt(ConstraintKinds(), selection);
    if (!row)
        return false;
    choice = {selection, aspectIndex, sizeIndex, row->kind, row->width, row->height, row->kind != kWholeInput};
    if (row->kind == kFixedAspect) {
        const ConstraintRow* aspect = RowAt(FixedAspects(), aspectIndex);
        if (!aspect)
            return false;
        choice.width = aspect->width;
        choice.height = aspect->height;
    } else if (row->kind == kFixedSize) {
        const ConstraintRow* size = RowAt(FixedSizes(), sizeIndex);
        if (!size && selection != kOutputSize)
            return false;
        if (size) {
            choice.width = size->width;
            choice.height = size->height;
        }
    }
    if (selection == kOutputSize) {
        const QSize out = OutRaster();
        choice.width = out.width();
        choice.height = out.height();
        choice.kind = kFixedSize;
        choice.inUse = true;
    }
    return true;
}

bool RoiScalerWrapper::ResolveConstraintIndex(int index, ConstraintChoice& choice)
{
    const ConstraintRow* row = RowAt(ConstraintMenu(), index);
    if (!row)
        return false;
    choice = {index, 0, 0, row->kind, row->width, row->height, row->kind != kWholeInput};
    if (index == kOutputAspectRow || index == kOutputSizeRow) {
        const QSize out = OutRaster();
        choice.width = out.width();
        choice.height = out.height();
    }
    return true;
}

void RoiScalerWrapper::SelectRoiConstraints(int selection, int aspectIndex, int sizeIndex, bool apply)
{
    ConstraintChoice choice;
    if (!Connected() || !ResolveConstraint(selection, aspectIndex, sizeIndex, choice))
        return;
    ApplyConstraint(choice, apply);
}

void RoiScalerWrapper::SelectRoiConstraintIndex(int index, bool apply)
{
    ConstraintChoice choice;
    if (!Connected() || !ResolveConstraintIndex(index, choice))
        return;
    ApplyConstraint(choice, apply);
}

void RoiScalerWrapper::SelectRoiConstraint(int selection)
{
    if (!Connected())
        return;
    SelectRoiConstraints(selection, int(StateU(Id(Param::CfgInFixedAspectMode))),
                         int(StateU(Id(Param::CfgInFixedSizeMode))), true);
}

void RoiScalerWrapper::SelectRoiFixedAspect(int index)
{
    if (!Connected())
        return;
    SelectRoiConstraints(int(StateU(Id(Param::CfgInMode))), index,
                         int(StateU(Id(Param::CfgInFixedSizeMode))), true);
}

void RoiScalerWrapper::SelectRoiFixedSize(int index)
{
    if (!Connected())
        return;
    SelectRoiConstraints(int(StateU(Id(Param::CfgInMode))),
                         int(StateU(Id(Param::CfgInFixedAspectMode))), index, true);
}

void RoiScalerWrapper::ReapplyConstraint(int selection, bool apply)
{
    if (_model.oneIndexSelection)
        SelectRoiConstraintIndex(selection, apply);
    else
        SelectRoiConstraints(selection, int(StateU(Id(Param::CfgInFixedAspectMode))),
                             int(StateU(Id(Param::CfgInFixedSizeMode))), apply);
}

void RoiScalerWrapper::RefitToConstraint(int x, int y, int& w, int& h)
{
    _inProxy->SetRoi(x, y, w, h);
    _inProxy->BeginDrag(ScreenProxy::kRightEdge, 0, 0);
    w = _inProxy->RoiWidth();
    h = _inProxy->RoiHeight();
}

void RoiScalerWrapper::ApplyConstraint(ConstraintChoice choice, bool apply)
{
    TryLockGuard guard(_constraintsMutex);
    if (!guard.Locked())
        return;

    const quint32 storedAspect = StateU(Id(Param::CfgInFixedAspectMode));
    const quint32 storedSelection = StateU(Id(Param::CfgInMode));
    const bool writeDevice = apply || choice.inUse;

    const QRect block = BlockInRoi();
    int x = block.x(), y = block.y(), w = block.width(), h = block.height();
    const int oldW = w, oldH = h;
    const int srcW = _inProxy->SourceWidth();
    const int srcH = _inProxy->SourceHeight();

    _inProxy->SetConstraint(choice.kind, choice.width, choice.height);

    if (!_model.oneIndexSelection && storedSelection != _lastSelection && !_constraintsFirstPass) {
        if (_model.logsConstraintRefit)
            qDebug() << "SelectRoiConstraints in old != current " << storedSelection << _lastSelection;
        _lastSelection = storedSelection;
        RefitToConstraint(x, y, w, h);
        if (_model.logsConstraintRefit)
            qDebug() << "SelectRoiConstraints leaving old != current  w0 " << oldW << " h0 " << oldH << " w " << w
                     << " h " << h;
    }

    switch (choice.kind) {
    case kFixedAspect:
        if (!_constraintsFirstPass && (_model.refitsAspectEveryStep || storedAspect != _lastFixedAspect)) {
            _lastFixedAspect = storedAspect;
            RefitToConstraint(x, y, w, h);
        }
        break;
    case kWholeInput: {
        const QSize raster = MeasuredInRaster();
        x = 0;
        y = 0;
        w = raster.width();
        h = raster.height();
        break;
    }
    case kFixedSize:
        // A size the source cannot hold demotes the selection to free.
        if (!(srcW >= choice.width && srcH >= choice.height)) {
            PutU(Id(Param::CfgInMode), quint32(kFreeSelection));
            choice.selection = kFreeSelection;
            _inProxy->SetConstraint(kFreeSelection, choice.width, choice.height);
        }
        w = choice.width;
        h = choice.height;
        break;
    default:
        break;
    }

    _constraintsFirstPass = false;
    ClipRegion(x, y, w, h, srcW, srcH);

    const int roiCtrl = Get(RoiField::_roiCtrl);
    const bool wasInUse = (roiCtrl & 0x02) != 0;
    Put(RoiField::_roiCtrl, (roiCtrl & ~(kRoiInUse | kRoiCtrlSet)) | (choice.inUse ? kRoiInUse : 0) | kRoiCtrlSet);

    if (writeDevice) {
        const int code = _model.oneIndexSelection
                             ? choice.selection & 0x0F
                             : InputModeCode(choice.selection, choice.aspectIndex, choice.sizeIndex);
        Put(RoiField::_swStateSelect, (Get(RoiField::_swStateSelect) & 0xF0) | code);
        PutInRoi(x, y, w, h);
        StreamOutBlock();
        RefreshStoredTiming();
        StreamOutBlock();
        WriteBlock();
    }
    UpdateInProxy(x, y, w, h);

    if (wasInUse && !choice.inUse) {
        PutU(Id(Param::CfgOutMode), quint32(kAutoScale));
        SelectRoiFit(kAutoScale, false);
    } else if (!wasInUse && choice.inUse) {
        PutU(Id(Param::CfgOutMode), quint32(kScaleAspect));
        SelectRoiFit(kScaleAspect, apply);
    } else if (w != oldW || h != oldH) {
        SelectRoiFit((Get(RoiField::_swStateSelect) >> 4) & 0x0F, false);
    }

    _inProxy->SetEnabled(true);
    PutU(Id(Param::CfgInMode), quint32(choice.selection));
    if (!_model.oneIndexSelection) {
        PutU(Id(Param::CfgInFixedAspectMode), quint32(choice.aspectIndex));
        PutU(Id(Param::CfgInFixedSizeMode), quint32(choice.sizeIndex));
    }
    StartConfigTimer();
}
