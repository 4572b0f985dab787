// The device wrapper of the four ROI scaler models, one implementation over
// a profile row (wrapperprofile.h): it turns a client's parameter changes into
// writes of the scaler's configuration block, keeps the input region and
// the output window consistent with each other and the video formats,
// publishes configuration and status as parameter values, and rewrites and
// rereads the converter 2000 ms after the last change. The model classes
// (HestraWrapper, ...) add only their named slots.
#ifndef PORTVANE_ROISCALER_ROISCALERWRAPPER_H
#define PORTVANE_ROISCALER_ROISCALERWRAPPER_H

#include <memory>

#include <QMutex>
#include <QRect>
#include <QString>

#include "catalog/cmoduletype.h"
#include "devicewrapper.h"
#include "roiscaler/roiscalerblock.h"
#include "roiscaler/roimodels.h"
#include "roiscaler/statusimage.h"

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

    // Readback of the configuration.
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
    // The block's field, and a change of it (cut to the field's width).
    int Get(int field) const;
    void Put(int field, int value);

    // State values: unsigned numbers, booleans and texts only.
    quint32 Id(roiscaler::Param p) const { return _model.Id(p); }
    void PutU(quint32 id, int value);
    void PutU(quint32 id, quint32 value);
    void PutB(quint32 id, bool value);
    void PutS(quint32 id, const QString& value);
    quint32 StateU(quint32 id) const;
    bool StateB(quint32 id) const;
    QString StateS(quint32 id) const;
    // Written when the stored value differs or force is set; true when
    // written.
    bool PutUChanged(quint32 id, quint32 value, bool force);
    bool PutBChanged(quint32 id, bool value, bool force);
    // A text through the translation function with the class as context.
    QString Tr(const char* text) const;

    bool Connected() const { return EngineConnected(); }
    // Streams the block into the live registers (when stream is true),
    // writes it to configuration memory.
    void SendBlock(bool stream);
    void StreamOutBlock();
    void WriteBlock();
    // Whether the block's measured input has a line total.
    bool InputMeasured() const;
    // The stored input timing takes the measured one (the delay bits kept).
    void RefreshStoredTiming();

    QSize MeasuredInRaster();
    QSize OutRaster();
    QRect BlockInRoi() const;
    QRect BlockOutRoi() const;
    void PutInRoi(int x, int y, int w, int h);
    void PutOutRoi(int x, int y, int w, int h);
    // Frame delay, flips and rotation as shown to clients.
    quint32 RotationValue() const;
    bool FrameDelayInEffect() const;

    struct ConstraintChoice;
    bool ResolveConstraint(int selection, int aspectIndex, int sizeIndex, ConstraintChoice& choice);
    bool ResolveConstraintIndex(int index, ConstraintChoice& choice);
    void ApplyConstraint(ConstraintChoice choice, bool apply);
    // The constraint step with the stored indices, as the fit step and the
    // status pass enter it.
    void ReapplyConstraint(int selection, bool apply);
    void RefitToConstraint(int x, int y, int& w, int& h);

    // Status pass pieces.
    bool WatchInputFormat(bool inputPresent, const roiscaler::InputFormat& measured,
                          const roiscaler::InputFormat& set, bool matches, bool unchanged);
    bool UpdateInputStatus(bool inputPresent, const roiscaler::InputFormat& measured,
                           const roiscaler::InputFormat& set, bool matches, bool unchanged, bool& proxyEnabled);
    // Rereads the configuration; false (after the numbered line and the
    // disconnect) when the read failed.
    bool RereadOrDisconnect(int line);
    void RecordModes();
    void RevertToAuto();
    void UpdateProcessingStatus();
    void UpdateGenlockStatus();

    const roiscaler::RoiModel& _model;
    CRoiScalerBlock* _block;

    std::unique_ptr<ScreenProxy> _inProxy;
    std::unique_ptr<ScreenProxy> _outProxy;
    QTimer* _configTimer = nullptr;
    int _inputSynced = 0;
    int _syncCountdown = 2;
    QMutex _constraintsMutex;
    QMutex _fitMutex;
    roiscaler::InputFormat _lastInSize;
    int _lastOutMode = 0;
    // Selection, fixed-aspect index, fixed-size index (one-index models:
    // the raw device code in the first).
    int _lastInMode[3] = {0, 0, 0};
    bool _inputChangeSeen = false;
    bool _paramChanged = false;
    bool _constraintsFirstPass = true;
    // The last selection and fixed-aspect index that caused a re-fit.
    quint32 _lastSelection = 0;
    quint32 _lastFixedAspect = 0;
};

#endif
