// The device wrapper of the four ROI scaler models, one implementation over
// a model row (model/models.h). Its decisions are pure functions over the
// block, the status image and the published values (bindings.h,
// readback.h, statuspass.h, geometry.h, settings.h); the wrapper holds
// their scene, runs them and takes the effects they return: it sends the
// block, runs the configuration timer that rewrites and rereads the
// converter 2000 ms after the last change, rereads, and publishes. The
// model classes (HestraWrapper, ...) add only their named slots.
#ifndef PORTVANE_ROISCALER_WRAPPER_WRAPPER_H
#define PORTVANE_ROISCALER_WRAPPER_WRAPPER_H

#include <memory>
#include <utility>

#include <QRect>
#include <QString>

#include "catalog/cmoduletype.h"
#include "devicewrapper.h"
#include "roiscaler/block/scalerblock.h"
#include "roiscaler/decisions/scene.h"

class QTimer;
class ScreenProxy;

class RoiScalerWrapper : public DeviceWrapper {
    Q_OBJECT
public:
    static constexpr int kConfigTimerMs = 2000;

    // Takes over the engine, the records, the module record and the block.
    // The model class calls StartDevice() once it is built.
    RoiScalerWrapper(const roiscaler::RoiModel& model, CCmdEngine* engine, AssemblyRecords* records,
                     CModuleType* moduleRecord, CRoiScalerBlock* block, QObject* parent);
    ~RoiScalerWrapper() override;

    const roiscaler::RoiModel& Model() const { return _model; }

    void InitDeviceDescriptors(int configId) override;
    void SetParam(quint32 id, const QVariant& value, const LumoTimeStamp& ts) override;
    void InitDevice() override;
    void UpdateDevice() override;
    void UpdateDeviceStatus() override;
    void DisconnectDevice() override;

public slots:
    // The slots all four models name alike.
    void InitLists();
    void SetDefaults();
    void UpdateInfoandUpdateTabs();
    void ValidateHDelay(int& delay);
    void ValidateVDelay(int& delay);
    bool ClipRoi(int& x, int& y, int& w, int& h, int maxW, int maxH);
    bool ParseScreenProxy(QString text, UByte& mode, UWord& x, UWord& y, UWord& w, UWord& h, UWord& screenw,
                          UWord& screenh);
    bool ParseScreenProxy(QString text, QString key, int& value);

public:
    // Frame. Both timer starters (re)start the single-shot configuration
    // timer with 2000 ms.
    void StartConfigTimer();
    void StartConfigTimerMinTime();
    // The timer's expiry: write the block once more (while an input is
    // measured), then reread the converter.
    void UpdateConfig();
    void SetInputControlsEnable(bool enable);
    void SetOutputControlsEnable(bool enable);

    // Settings.
    void SelectSmpteRange(int value);
    void SelectOutEdgeFiltering(bool on);
    void SelectOutFlickerFiltering(bool on);
    void SelectBackgroundColor(const QString& colorText);
    void SelectOutRotation(int value);
    void SelectOutFrameDelay(int value);
    void SelectOutHorizFlip(int value);
    void SelectOutVertFlip(int value);
    void SelectEDID(int value);
    void SelectGenlockSource(int value);
    void SelectHorizontalDelay(int value);
    void SelectVerticalDelay(int value);
    void SelectAudio(int value);
    void SelectAnalogMap(int value);
    void SelectAudioConversion(int value);
    void SelectModuleName(const QString& name);
    int GetAudioSelectIndex();
    void GetHVDelayMax(int& hMax, int& vMax);
    void TryHVDelayEnable();
    QString GetEdidName();

    // Readback of the configuration, in parts.
    void UpdateInfoTab(const CModuleType& moduleRecord);
    void UpdateGenlockTab(bool force);
    void UpdateAudioTab(bool force);
    void UpdateBackgroundColor(bool force);

    // Geometry.
    void AdjustRoiForPixelAspectRatio(int& w, int& h);
    void UpdateFitFromPreferences(int& x, int& y, int& w, int& h, int screenW, int screenH);
    void CalcOutputMapping(int fit, int x, int y, int w, int h, int outW, int outH, QRect& out);
    void UpdateInProxy(int x, int y, int w, int h);
    void UpdateInProxy();
    void UpdateOutProxy(int x, int y, int w, int h);
    void UpdateOutProxy();
    void SelectRoiFit(int fit, bool usePrefs);
    void SelectInXOffset(int x);
    void SelectInYOffset(int y);
    void SelectInWidth(int w);
    void SelectInHeight(int h);
    void SelectOutXOffset(int x);
    void SelectOutYOffset(int y);
    void SelectOutWidth(int w);
    void SelectOutHeight(int h);
    void CenterRoiButtonChanged();
    void CenterOutputButtonChanged();
    void SelectAllRoiButtonChanged();
    void SelectSdiOutFormat(int index);
    void SelectInScreenProxy(const QString& text);
    void SelectOutScreenProxy(const QString& text);

    // Constraints of the input region: by selection, fixed-aspect index and
    // fixed-size index, or (one-index models) by one index into the merged
    // list.
    void SelectRoiConstraints(int selection, int aspectIndex, int sizeIndex, bool apply);
    void SelectRoiConstraint(int selection);
    void SelectRoiFixedAspect(int index);
    void SelectRoiFixedSize(int index);
    void SelectRoiConstraintIndex(int index, bool apply);

    // Region text: roitype 0 the input region, any other the output window.
    QString GetScreenProxy(int roitype);

    // Status image and block getters.
    void GetHwInSize(int& w, int& h, int& hz);
    void GetFpgaInSize(int& w, int& h, int& hz);
    void GetHwOutSize(int& w, int& h);
    void GetFpgaOutSize(int& w, int& h);
    void GetHwInRoiGeometry(int& x, int& y, int& w, int& h);
    void GetHwOutRoiGeometry(int& x, int& y, int& w, int& h);
    void GetFpgaInRoiGeometry(int& x, int& y, int& w, int& h);
    void GetFpgaOutRoiGeometry(int& x, int& y, int& w, int& h);
    QString GetInputProtocolString();
    QString GetRefInFormat(bool& isValid);
    bool IsHwOut709();
    bool GetRoiInConnected();
    bool GetRoiFormatMatches();
    bool GetRoiInConnectedAndFormatMatches();

    // What tests look at.
    const ConfigDeviceState_t& State() const { return _state; }
    CRoiScalerBlock* Block() const { return _block; }
    CCmdEngine* Engine() const { return _engine; }
    ScreenProxy* InProxy() const { return _inProxy.get(); }
    ScreenProxy* OutProxy() const { return _outProxy.get(); }
    QTimer* ConfigTimer() const { return _configTimer; }
    QTimer* StatusPollTimer() const { return _statusTimer; }

private:
    bool Connected() const { return EngineConnected(); }
    quint32 Id(roiscaler::Param p) const { return _model.Id(p); }
    roiscaler::RoiContext Context() const;
    // What the decisions start from: the wrapper as it stands. A scene to
    // be applied takes the values along rather than copying them; they come
    // back with the outcome.
    roiscaler::RoiScene Scene() const;
    roiscaler::RoiScene SceneToApply();
    // Takes the scene a decision left, its effects in order, then runs the
    // next decision it names; false when a reread failed (the device is
    // then disconnected and the pass ends).
    bool Apply(roiscaler::RoiOutcome outcome);
    bool Take(const roiscaler::RoiEffect& effect);
    // A decision on the wrapper as it stands, taken.
    template <typename Decision, typename... Args>
    bool Run(Decision decision, Args&&... args)
    {
        const roiscaler::RoiContext context = Context();
        return Apply(decision(context, SceneToApply(), std::forward<Args>(args)...));
    }

    // The block as the decision had it, streamed or written.
    void Send(const roiscaler::BlockImage& image, bool stream);
    // The identity as the engine knows it, published.
    bool PublishIdentity();
    void WriteModuleName(const QString& name);
    roiscaler::RoiIdentity Identity(const CModuleType& moduleRecord);
    // Rereads the configuration; false (after the numbered line and the
    // disconnect) when the read failed.
    bool RereadOrDisconnect(int line);
    bool ReleaseWatchesInput() const;

    const roiscaler::RoiModel& _model;
    CRoiScalerBlock* _block;

    std::unique_ptr<ScreenProxy> _inProxy;
    std::unique_ptr<ScreenProxy> _outProxy;
    QTimer* _configTimer = nullptr;
    roiscaler::RoiMemory _memory;
};

#endif
