#include "roiscaler/wrapper/wrapper.h"

#include <QDebug>
#include <QTimer>

#include "catalog/assemblyrecords.h"
#include "catalog/cversion.h"
#include "engine/ccmdengine.h"
#include "paramlink/descriptortable.h"
#include "roiscaler/decisions/bindings.h"
#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/decisions/geometry.h"
#include "roiscaler/decisions/next.h"
#include "roiscaler/decisions/readback.h"
#include "roiscaler/decisions/settings.h"
#include "roiscaler/decisions/statuspass.h"
#include "roiscaler/values/screenproxy.h"
#include "tovikconfig/tovikconfig.h"

using namespace roiscaler;

namespace {

// Releases up to 1.1 do not watch the input format.
const unsigned kLastUnwatchedRelease = 0x0101;

// The EDID's monitor name: 13 bytes at register 74 of the scaler.
const UByte kRegisterInterface = 1;
const UByte kRegisterDevice = 0;
const ULWord kEdidNameAddress = 74;
const int kEdidNameBytes = 13;

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

RoiContext RoiScalerWrapper::Context() const
{
    return RoiContext{_model, _statusImage, Connected()};
}

RoiScene RoiScalerWrapper::Scene() const
{
    return RoiScene{BlockImage(*_block), _state, _inProxy->Geometry(), _outProxy->Geometry(), _memory};
}

RoiScene RoiScalerWrapper::SceneToApply()
{
    return RoiScene{BlockImage(*_block), std::move(_state), _inProxy->Geometry(), _outProxy->Geometry(), _memory};
}

bool RoiScalerWrapper::Apply(RoiOutcome outcome)
{
    outcome.scene.block.ApplyTo(*_block);
    _state = std::move(outcome.scene.values);
    _inProxy->Geometry() = outcome.scene.in;
    _outProxy->Geometry() = outcome.scene.out;
    _memory = outcome.scene.memory;
    for (const RoiEffect& effect : outcome.effects)
        if (!Take(effect))
            return false;
    return !outcome.next || Run(Continue, *outcome.next);
}

bool RoiScalerWrapper::Take(const RoiEffect& effect)
{
    // False only for a failed reread: the pass ends.
    return std::visit(
        Overloaded{
            [&](const effect::StreamOut& e) { Send(e.block, true); return true; },
            [&](const effect::Write& e) { Send(e.block, false); return true; },
            [&](const effect::RestartTimer&) { StartConfigTimer(); return true; },
            [&](const effect::StartTimerIfIdle&) {
                if (!_configTimer->isActive())
                    StartConfigTimerMinTime();
                return true;
            },
            [&](const effect::Debug& e) { qDebug().noquote() << e.line; return true; },
            [&](const effect::DebugNamed& e) {
                // The name as the debug stream quotes a text.
                qDebug() << e.text.toLatin1().constData() << e.name;
                return true;
            },
            [&](const effect::ReadConfig&) { ReadDeviceConfig(); return true; },
            [&](const effect::Readback&) { UpdateDevice(); return true; },
            [&](const effect::Reread& e) { return RereadOrDisconnect(e.disconnectLine); },
            [&](const effect::RecordModes&) { RecordModes(_model, BlockImage(*_block), _memory); return true; },
            [&](const effect::PublishIdentity&) { return PublishIdentity(); },
            [&](const effect::Publish&) { emit DeviceStateUpdated(_state); return true; },
            [&](const effect::WriteModuleName& e) { WriteModuleName(e.name); return true; },
            [&](const effect::DelayAvailability&) { TryHVDelayEnable(); return true; },
            [&](const effect::InputTexts&) { PutInputTexts(Context(), _state); return true; },
            [&](const effect::ReadEdidName&) { PutS(_state, Id(Param::EDIDNameStr), GetEdidName()); return true; },
        },
        effect);
}

bool RoiScalerWrapper::PublishIdentity()
{
    RoiIdentity identity;
    if (Connected()) {
        identity = Identity(_engine->GetModuleType());
        identity.fpgaVersion = GetFirmwareVersion();
        identity.releaseVersion = GetReleaseVersion();
        identity.serialNumber = GetSerialNumber();
    }
    RoiOutcome outcome(SceneToApply());
    PutIdentity(Context(), identity, outcome);
    return Apply(std::move(outcome));
}

void RoiScalerWrapper::Send(const BlockImage& image, bool stream)
{
    if (!_engine)
        return;
    // The block as the decision sent it, then as it stands.
    const BlockImage current(*_block);
    image.ApplyTo(*_block);
    if (stream)
        _engine->StreamOutConfigBlock(_block->FPGAID(), _block->BlockID());
    else
        _engine->WriteConfigBlock(_block->FPGAID(), _block->BlockID());
    current.ApplyTo(*_block);
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
    const RoiMemory first = FirstMemory(_model);
    _memory.syncCountdown = first.syncCountdown;
    _memory.constraintsFirstPass = first.constraintsFirstPass;
    delete _configTimer;
    _configTimer = new QTimer(this);
    _configTimer->setSingleShot(true);
    // A coarse timer may fire up to 5% early; the rewrite is due 2000 ms
    // after the last change, not before.
    _configTimer->setTimerType(Qt::PreciseTimer);
    connect(_configTimer, &QTimer::timeout, this, &RoiScalerWrapper::UpdateConfig);
    InitLists();
    SetDefaults();
    _memory.inputSynced = false;
}

void RoiScalerWrapper::InitLists()
{
    const ProxyGeometry in = FirstInProxy();
    const ProxyGeometry out = FirstOutProxy();
    _inProxy.reset(new ScreenProxy(in.ScreenRect()));
    _inProxy->Geometry() = in;
    _outProxy.reset(new ScreenProxy(out.ScreenRect()));
    _outProxy->Geometry() = out;
}

void RoiScalerWrapper::SetDefaults()
{
    PutDefaults(_model, _state);
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
    if (_engine && InputMeasured(BlockImage(*_block)))
        _engine->WriteConfigBlock(_block->FPGAID(), _block->BlockID());
    ReadDeviceConfig();
}

void RoiScalerWrapper::DisconnectDevice()
{
    StopDevice();
}

void RoiScalerWrapper::SetParam(quint32 id, const QVariant& value, const LumoTimeStamp& ts)
{
    Q_UNUSED(ts);
    // The configuration could not be read: the change is dropped, and a
    // reread is due so that the wrapper recovers and the store shows what
    // the converter holds.
    if (_configReadFailed) {
        StartConfigTimerMinTime();
        return;
    }
    Run(Dispatch, id, value);
}

void RoiScalerWrapper::UpdateDevice()
{
    Run(Readback, LinkState{_connected, _busy});
}

void RoiScalerWrapper::UpdateDeviceStatus()
{
    if (!_connected || _busy || !Connected() || StatusWaits(Context(), Scene()))
        return;
    const StatusSample sample = SampleStatus(Context(), Scene());
    if (!Run(WatchInput, sample, ReleaseWatchesInput()))
        return;
    const bool inputProxyEnabled = _inProxy->IsEnabled();
    if (!Run(UpdateInput, sample))
        return;
    Run(PublishPass, sample, inputProxyEnabled);
}

bool RoiScalerWrapper::ReleaseWatchesInput() const
{
    const CVersion release =
        _assemblyRecords ? _assemblyRecords->FindRelease(_engine->GetModuleType()) : CVersion();
    return release.Value() > kLastUnwatchedRelease;
}

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

RoiIdentity RoiScalerWrapper::Identity(const CModuleType& moduleRecord)
{
    RoiIdentity identity;
    identity.moduleName = moduleRecord._moduleName;
    const int type = moduleRecord._moduleTypeID;
    if (type >= 0 && type < CModuleType::kModuleTypeCount)
        identity.moduleTypeName = CModuleType::_moduleTypeIDNames[size_t(type)].name;
    identity.boardAssembly = moduleRecord._boardAssemblyID;
    return identity;
}

void RoiScalerWrapper::WriteModuleName(const QString& name)
{
    const int result = _engine->WriteModuleName(name);
    if (result == 0) {
        PutS(_state, Id(Param::ModuleName), name);
        _engine->WriteConfigBlock(_block->FPGAID(), _block->BlockID());
        emit ModuleNameChange();
    } else if (_model.logsModuleNameFailure) {
        qDebug() << "SetModuleName failed-result:" << result;
    }
    StartConfigTimer();
}

QString RoiScalerWrapper::GetEdidName()
{
    if (!Connected())
        return DefaultEdidName();
    UByte bytes[kEdidNameBytes] = {};
    if (_engine->ReadDeviceDataImmediate(kRegisterInterface, kRegisterDevice, kEdidNameAddress, bytes, kEdidNameBytes)
        != 0)
        return DefaultEdidName();
    return EdidName(bytes, kEdidNameBytes);
}
