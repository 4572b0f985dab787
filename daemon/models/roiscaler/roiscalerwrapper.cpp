#include "roiscaler/roiscalerwrapper.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTimer>

#include <algorithm>

#include "catalog/cmoduletype.h"
#include "engine/ccmdengine.h"
#include "paramlink/descriptortable.h"
#include "roiscaler/roitables.h"
#include "roiscaler/roitext.h"
#include "roiscaler/screenproxy.h"
#include "tovikconfig/tovikconfig.h"

using namespace roiscaler;

namespace {

// The screen picture both proxies are drawn in, and their first regions.
const QRect kProxyScreen(QPoint(410, 10), QPoint(640, 143));
const QSize kFirstSource(1920, 1200);
const QRect kFirstInRoi(440, 360, 720, 480);
const QRect kFirstOutRoi(240, 0, 1440, 1080);

// A default value of the state; a model without the parameter has none.
struct DefaultRow {
    Param param;
    bool isBool;
    quint32 value;
};

const DefaultRow kDefaults[] = {
    {Param::CfgInMode, false, 0},
    {Param::CfgInFixedAspectMode, false, 0},
    {Param::CfgInFixedSizeMode, false, 0},
    {Param::InRgbRange, false, 0},
    {Param::AudInSelect, false, 0},
    {Param::AudAnalogOutMap, false, 0},
    {Param::AudConversion, false, 0},
    {Param::CfgInScreenW, false, 1920},
    {Param::CfgInScreenH, false, 1200},
    {Param::CfgInX, false, 440},
    {Param::CfgInY, false, 360},
    {Param::CfgInW, false, 720},
    {Param::CfgInH, false, 480},
    {Param::CfgOutMode, false, 0},
    {Param::OutRoiFormat, false, 0},
    {Param::OutEdgeFiltering, true, 1},
    {Param::OutFlickerFiltering, true, 0},
    {Param::CfgOutScreenW, false, 1920},
    {Param::CfgOutScreenH, false, 1200},
    {Param::CfgOutRotation, false, 0},
    {Param::OutFrameDelayCk, true, 0},
    {Param::OutHorizFlipCk, true, 0},
    {Param::OutVertFlipCk, true, 0},
    {Param::OutFrameDelay, true, 0},
    {Param::CfgOutX, false, 240},
    {Param::CfgOutY, false, 0},
    {Param::CfgOutW, false, 1440},
    {Param::CfgOutH, false, 1080},
    {Param::RoiAction, false, 0},
    {Param::Genlock, false, 0},
};

// The input timing bytes, stored and measured, in the same order.
const int kTimingBytes = RoiField::_stHzThousandsReg2 - RoiField::_stInputHStartLSB + 1;
static_assert(RoiField::_fpgaHzThousandsReg2 - RoiField::_fpgaInputHStartLSB + 1 == kTimingBytes,
              "stored and measured timing differ");

} // namespace

RoiScalerWrapper::RoiScalerWrapper(const RoiModel& model, CCmdEngine* engine, AssemblyRecords* records,
                                   CModuleType* moduleRecord, CRoiScalerBlock* block, QObject* parent)
    : DeviceWrapper(engine, records, moduleRecord, parent), _model(model), _block(block)
{
    _configBlock = block;
}

RoiScalerWrapper::~RoiScalerWrapper()
{
    delete _configTimer;
}

// ---- state values

void RoiScalerWrapper::PutU(quint32 id, int value)
{
    _state.insert(id, QVariant(quint32(std::max(value, 0))));
}

void RoiScalerWrapper::PutU(quint32 id, quint32 value)
{
    _state.insert(id, QVariant(value));
}

void RoiScalerWrapper::PutB(quint32 id, bool value)
{
    _state.insert(id, QVariant(value));
}

void RoiScalerWrapper::PutS(quint32 id, const QString& value)
{
    _state.insert(id, QVariant(value));
}

quint32 RoiScalerWrapper::StateU(quint32 id) const
{
    return _state.value(id).toUInt();
}

bool RoiScalerWrapper::StateB(quint32 id) const
{
    return _state.value(id).toBool();
}

QString RoiScalerWrapper::StateS(quint32 id) const
{
    return _state.value(id).toString();
}

bool RoiScalerWrapper::PutUChanged(quint32 id, quint32 value, bool force)
{
    if (!force && StateU(id) == value)
        return false;
    PutU(id, value);
    return true;
}

bool RoiScalerWrapper::PutBChanged(quint32 id, bool value, bool force)
{
    if (!force && StateB(id) == value)
        return false;
    PutB(id, value);
    return true;
}

QString RoiScalerWrapper::Tr(const char* text) const
{
    return QCoreApplication::translate(_model.className, text);
}

// ---- the block

int RoiScalerWrapper::Get(int field) const
{
    return _block->Field(field);
}

void RoiScalerWrapper::Put(int field, int value)
{
    _block->SetField(field, value);
}

void RoiScalerWrapper::StreamOutBlock()
{
    if (_engine)
        _engine->StreamOutConfigBlock(_block->FPGAID(), _block->BlockID());
}

void RoiScalerWrapper::WriteBlock()
{
    if (_engine)
        _engine->WriteConfigBlock(_block->FPGAID(), _block->BlockID());
}

void RoiScalerWrapper::SendBlock(bool stream)
{
    if (stream)
        StreamOutBlock();
    WriteBlock();
}

bool RoiScalerWrapper::InputMeasured() const
{
    return Get(RoiField::_fpgaInputHTotalLSB) != 0 || Get(RoiField::_fpgaInputHTotalAndInputVStartMSB) != 0;
}

void RoiScalerWrapper::RefreshStoredTiming()
{
    for (int i = 0; i < kTimingBytes; ++i)
        Put(RoiField::_stInputHStartLSB + i, Get(RoiField::_fpgaInputHStartLSB + i));
    const int hDelay = Get(RoiField::_horizontalDelay);
    const int vDelay = Get(RoiField::_verticalDelay);
    Put(RoiField::_stInputMiscSignal, ((vDelay >> 8) & 0x01) << 7 | ((hDelay >> 8) & 0x0F) << 3
                                         | (Get(RoiField::_fpgaInputMiscSignal) & 0x07));
}

QRect RoiScalerWrapper::BlockInRoi() const
{
    return QRect(Get(RoiField::_inputHStartOffset), Get(RoiField::_inputVStartOffset), Get(RoiField::_inputActivePixels),
                 Get(RoiField::_inputActiveLines));
}

QRect RoiScalerWrapper::BlockOutRoi() const
{
    return QRect(Get(RoiField::_outputHStartOffset), Get(RoiField::_outputVStartOffset),
                 Get(RoiField::_outputActivePixels), Get(RoiField::_outputActiveLines));
}

void RoiScalerWrapper::PutInRoi(int x, int y, int w, int h)
{
    Put(RoiField::_inputHStartOffset, x);
    Put(RoiField::_inputVStartOffset, y);
    Put(RoiField::_inputActivePixels, w);
    Put(RoiField::_inputActiveLines, h);
}

void RoiScalerWrapper::PutOutRoi(int x, int y, int w, int h)
{
    Put(RoiField::_outputHStartOffset, x);
    Put(RoiField::_outputVStartOffset, y);
    Put(RoiField::_outputActivePixels, w);
    Put(RoiField::_outputActiveLines, h);
}

// ---- frame

void RoiScalerWrapper::InitDeviceDescriptors(int configId)
{
    if (_model.logsDescriptors)
        qDebug() << QString("InitDeviceDescriptors - configID %1").arg(configId);
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(configId);
    if (!table)
        return;
    table->clear();
    tovikconfig::TovikConfig::AddParamDescriptors(table, _model.modelNumber);
}

void RoiScalerWrapper::InitDevice()
{
    _syncCountdown = 2;
    _constraintsFirstPass = !_model.oneIndexSelection;
    delete _configTimer;
    _configTimer = new QTimer(this);
    _configTimer->setSingleShot(true);
    // A coarse timer may fire up to 5% early; the rewrite is due 2000 ms
    // after the last change, not before.
    _configTimer->setTimerType(Qt::PreciseTimer);
    connect(_configTimer, &QTimer::timeout, this, &RoiScalerWrapper::UpdateConfig);
    InitLists();
    SetDefaults();
    _inputSynced = 0;
}

void RoiScalerWrapper::InitLists()
{
    _inProxy.reset(new ScreenProxy(kProxyScreen));
    _inProxy->SetSourceSize(kFirstSource.width(), kFirstSource.height());
    _inProxy->SetRoi(kFirstInRoi.x(), kFirstInRoi.y(), kFirstInRoi.width(), kFirstInRoi.height());
    _outProxy.reset(new ScreenProxy(kProxyScreen));
    _outProxy->SetSourceSize(kFirstSource.width(), kFirstSource.height());
    _outProxy->SetRoi(kFirstOutRoi.x(), kFirstOutRoi.y(), kFirstOutRoi.width(), kFirstOutRoi.height());
}

void RoiScalerWrapper::SetDefaults()
{
    for (const DefaultRow& row : kDefaults) {
        if (!_model.Has(row.param))
            continue;
        const quint32 id = Id(row.param);
        if (row.isBool)
            PutB(id, row.value != 0);
        else
            PutU(id, row.value);
    }
}

void RoiScalerWrapper::StartConfigTimer()
{
    _configTimer->start(kConfigTimerMs);
}

void RoiScalerWrapper::StartConfigTimerMinTime()
{
    _configTimer->start(kConfigTimerMs);
}

void RoiScalerWrapper::UpdateConfig()
{
    if (InputMeasured())
        WriteBlock();
    ReadDeviceConfig();
}

void RoiScalerWrapper::DisconnectDevice()
{
    StopDevice();
}

void RoiScalerWrapper::SetInputControlsEnable(bool enable)
{
    _inProxy->SetEnabled(enable);
}

void RoiScalerWrapper::SetOutputControlsEnable(bool enable)
{
    _outProxy->SetEnabled(enable);
}

bool RoiScalerWrapper::ParseScreenProxy(QString text, UByte& mode, UWord& x, UWord& y, UWord& w, UWord& h,
                                        UWord& screenw, UWord& screenh)
{
    return roiscaler::ParseScreenProxy(text, mode, x, y, w, h, screenw, screenh);
}

bool RoiScalerWrapper::ParseScreenProxy(QString text, QString key, int& value)
{
    return roiscaler::ParseScreenProxy(text, key, value);
}

QString RoiScalerWrapper::GetScreenProxy(int roitype)
{
    return ScreenProxyText(_state, _model.idBase, roitype);
}

// ---- getters

void RoiScalerWrapper::GetHwInSize(int& w, int& h, int& hz)
{
    const InputFormat f = SetInputFormat(_statusImage);
    w = f.width;
    h = f.height;
    hz = f.hz;
}

void RoiScalerWrapper::GetFpgaInSize(int& w, int& h, int& hz)
{
    const InputFormat f = MeasuredInputFormat(_statusImage);
    w = f.width;
    h = f.height;
    hz = f.hz;
}

void RoiScalerWrapper::GetHwOutSize(int& w, int& h)
{
    const QSize size = OutputRasterSize((Get(RoiField::_sdiOutVideoCtrl) >> 4) & 0x07);
    w = size.width();
    h = size.height();
}

void RoiScalerWrapper::GetFpgaOutSize(int& w, int& h)
{
    GetHwOutSize(w, h);
}

QSize RoiScalerWrapper::MeasuredInRaster()
{
    int w = 0, h = 0, hz = 0;
    GetFpgaInSize(w, h, hz);
    return QSize(w, h);
}

QSize RoiScalerWrapper::OutRaster()
{
    int w = 0, h = 0;
    GetHwOutSize(w, h);
    return QSize(w, h);
}

void RoiScalerWrapper::GetHwInRoiGeometry(int& x, int& y, int& w, int& h)
{
    const QRect r = BlockInRoi();
    x = r.x();
    y = r.y();
    w = r.width();
    h = r.height();
}

void RoiScalerWrapper::GetHwOutRoiGeometry(int& x, int& y, int& w, int& h)
{
    const QRect r = BlockOutRoi();
    x = r.x();
    y = r.y();
    w = r.width();
    h = r.height();
}

void RoiScalerWrapper::GetFpgaInRoiGeometry(int& x, int& y, int& w, int& h)
{
    const QSize in = MeasuredInRaster();
    x = 0;
    y = 0;
    w = in.width();
    h = in.height();
}

void RoiScalerWrapper::GetFpgaOutRoiGeometry(int& x, int& y, int& w, int& h)
{
    const QSize in = MeasuredInRaster();
    const QSize out = OutRaster();
    QRect r;
    FitRectToAspect(in.width(), in.height(), out.width(), out.height(), &r);
    x = r.left();
    y = r.top();
    w = r.right() - r.left() + 1;
    h = r.bottom() - r.top() + 1;
}

QString RoiScalerWrapper::GetInputProtocolString()
{
    return InputProtocolText(_statusImage, _model.inputWord);
}

QString RoiScalerWrapper::GetRefInFormat(bool& isValid)
{
    return RefInFormatText(_statusImage, isValid);
}

bool RoiScalerWrapper::IsHwOut709()
{
    return IsHdOutputFormat((Get(RoiField::_sdiOutVideoCtrl) >> 4) & 0x07);
}

bool RoiScalerWrapper::GetRoiInConnected()
{
    return Connected() && GetStatusBits(43, 0x80, 7) != 0;
}

bool RoiScalerWrapper::GetRoiFormatMatches()
{
    return Connected() && GetStatusBits(20, 0x40, 6) != 0;
}

bool RoiScalerWrapper::GetRoiInConnectedAndFormatMatches()
{
    if (!Connected())
        return false;
    const bool in = GetStatusBits(43, 0x80, 7) != 0;
    if (!Connected())
        return false;
    return in && GetStatusBits(20, 0x40, 6) != 0;
}
