// The Jastel wrapper's status pass: its own 40 status bytes into status
// parameters and texts.
#include "engine/ccmdengine.h"
#include "jastel/jastelwrapper.h"
#include "wrappersupport/videoformatnames.h"
#include "tovikconfig/models/jastelparamids.h"

using namespace tovikconfig::jastel;

namespace {

const UByte kInterface = 1;
const UByte kDevice = 0;

struct StandardText {
    const char* plain;
    const char* psf; // the interlaced standards' segmented-frame form
};

// Standard codes 0 to 7; 8 to 15 name 1080i as 0 does.
const StandardText kStandards[] = {
    {QT_TRANSLATE_NOOP("JastelWrapper", "1080i"), QT_TRANSLATE_NOOP("JastelWrapper", "1080psf")},
    {QT_TRANSLATE_NOOP("JastelWrapper", "720p"), QT_TRANSLATE_NOOP("JastelWrapper", "720p")},
    {QT_TRANSLATE_NOOP("JastelWrapper", "525i"), QT_TRANSLATE_NOOP("JastelWrapper", "525psf")},
    {QT_TRANSLATE_NOOP("JastelWrapper", "625i"), QT_TRANSLATE_NOOP("JastelWrapper", "625psf")},
    {QT_TRANSLATE_NOOP("JastelWrapper", "1080p"), QT_TRANSLATE_NOOP("JastelWrapper", "1080p")},
    {QT_TRANSLATE_NOOP("JastelWrapper", "1556"), QT_TRANSLATE_NOOP("JastelWrapper", "1556")},
    {QT_TRANSLATE_NOOP("JastelWrapper", "2K1080p"), QT_TRANSLATE_NOOP("JastelWrapper", "2K1080p")},
    {QT_TRANSLATE_NOOP("JastelWrapper", "2K1080i"), QT_TRANSLATE_NOOP("JastelWrapper", "2K1080psf")},
};

// The dual-link kinds 0 to 3.
const char* const kDualLinkKinds[] = {"DL", "2xHD", "DS1", "DS2"};

// The status ids of SDI input 1 and 2, in the order they are stored.
struct InputIds {
    quint32 lock, is3G, levelB, pid, standard, rate, psf, sd, format;
};
const InputIds kInputIds[2] = {
    {eParamID_Sdi1LockStatus, eParamID_Sdi13GStatus, eParamID_Sdi13GLevelStatus, eParamID_Sdi1PidStatus,
     eParamID_Sdi1VidStdStatus, eParamID_Sdi1VidFpsStatus, eParamID_Sdi1PsFStatus, eParamID_Sdi1SDStatus,
     eParamID_Sdi1Status2},
    {eParamID_Sdi2LockStatus, eParamID_Sdi23GStatus, eParamID_Sdi23GLevelStatus, eParamID_Sdi2PidStatus,
     eParamID_Sdi2VidStdStatus, eParamID_Sdi2VidFpsStatus, eParamID_Sdi2PsFStatus, eParamID_Sdi2SDStatus,
     eParamID_Sdi2Status2},
};

QString InputFormatText(const JastelInputState& in)
{
    if (!in.valid)
        return JastelWrapper::tr("No Video");
    return VideoFormatName(in.standard, in.rate, in.psf, in.is3G, in.levelB);
}

} // namespace

QString JastelWrapper::GetSdiOutFormatName(int standard, int rate, bool psf)
{
    const StandardText& text = kStandards[standard >= 0 && standard <= 7 ? standard : 0];
    const QString name = tr(psf ? text.psf : text.plain);
    const char* rateText = rate < 0 ? nullptr : VideoRateText(unsigned(rate));
    if (!rateText)
        return QStringLiteral("?? video");
    return QStringLiteral("%1%2").arg(name, QLatin1String(rateText));
}

QString JastelWrapper::GetDualLinkTag(int input, bool match, bool dualLink, int kind)
{
    if (input == 0)
        return QStringLiteral("(Invalid Fmt)");
    if (!match)
        return QStringLiteral("(Mismatch)");
    if (dualLink && kind >= 0 && kind <= 3)
        return QLatin1String(kDualLinkKinds[kind]);
    return QString();
}

QString JastelWrapper::GetInputSelectText(int input, int videoSource, bool valid, const QString& a,
                                          const QString& b)
{
    const bool match = valid && a == b;
    if (videoSource == 0) {
        if (input != 1)
            return QStringLiteral("Disabled");
        return QStringLiteral("Select SDI%1 %2").arg(1).arg(GetDualLinkTag(1, match, false, 0));
    }
    if (videoSource == 1) {
        if (input != 1 && input != 2)
            return QStringLiteral("Disabled");
        return QStringLiteral("Select HD-DL %1").arg(match ? QString() : QStringLiteral("(Mismatch)"));
    }
    return QString();
}

void JastelWrapper::UpdateDeviceStatus()
{
    if (!_connected || _busy || !EngineConnected())
        return;
    UByte bytes[JastelStatus::kBytes];
    if (_engine->ReadDeviceDataImmediate(kInterface, kDevice, JastelStatus::kFirstRegister, bytes,
                                         UByte(JastelStatus::kBytes)) != 0)
        return;
    StoreStatus(DecodeJastelStatus(bytes));
}

void JastelWrapper::StoreStatus(const JastelStatus& s)
{
    const JastelInputState& in1 = s.input[0];
    const JastelInputState& in2 = s.input[1];
    for (int n = 0; n < 2; ++n) {
        const JastelInputState& in = s.input[n];
        const InputIds& ids = kInputIds[n];
        _state.insert(ids.lock, QVariant(in.locked));
        _state.insert(ids.is3G, QVariant(in.is3G));
        _state.insert(ids.levelB, QVariant(in.levelB));
        _state.insert(ids.pid, QVariant(in.pid));
        _state.insert(ids.standard, QVariant(uint(in.standard)));
        _state.insert(ids.rate, QVariant(uint(in.rate)));
        _state.insert(ids.psf, QVariant(in.psf));
        _state.insert(ids.sd, QVariant(in.sd));
        _state.insert(ids.format, QVariant(InputFormatText(in)));
    }

    // Reading an absent pending value leaves an empty entry, as the pending
    // state's index operation does.
    if (in1.valid) {
        const int videoSource = _state[eParamID_InVidSrc].toInt();
        const QString t1 = _state[eParamID_Sdi1Status2].toString();
        const QString t2 = _state[eParamID_Sdi2Status2].toString();
        _state.insert(eParamID_Sdi1Status1, QVariant(GetInputSelectText(1, videoSource, true, t1, t1)));
        _state.insert(eParamID_Sdi2Status1, QVariant(GetInputSelectText(2, videoSource, in2.valid, t1, t2)));
    } else {
        _state.insert(eParamID_Sdi1Status1, QVariant(QStringLiteral("Invalid Signal")));
        _state.insert(eParamID_Sdi2Status1, QVariant(QStringLiteral("SDI1 Required")));
    }

    _state.insert(eParamID_LedStatus, QVariant(uint(s.led)));
    _state.insert(eParamID_SdiOutVidStdStatus, QVariant(uint(s.outStandard)));
    _state.insert(eParamID_SdiOutVidFpsStatus, QVariant(uint(s.outRate)));
    _state.insert(eParamID_SdiOutPsFStatus, QVariant(s.outPsF));
    _state.insert(eParamID_SdiOutStatus,
                  QVariant(in1.valid ? GetSdiOutFormatName(int(s.outStandard), int(s.outRate), s.outPsF)
                                     : tr("No Video")));
    _state.insert(eParamID_HdmiOutConnectionStatus, QVariant(s.hdmiConnected));
    _state.insert(eParamID_HdmiOutProtocolStatus, QVariant(uint(s.hdmiProtocol)));
    const QVariant rgbRange = _state[eParamID_HdmiRgbRange];
    _state.insert(eParamID_HdmiOutRgbRangeStatus, rgbRange);
    // The status bytes carry no colour space: the connection bit again.
    _state.insert(eParamID_HdmiOutColorSpaceStatus, QVariant(s.hdmiConnected));
    _state.insert(eParamID_HdmiOutBitDepthStatus, QVariant(uint(s.hdmiDepth)));
    _state.insert(eParamID_HdmiOutVideoStatus,
                  QVariant(in1.valid ? VideoFormat4kName(s.hdmiStandard, s.outRate) : tr("No Video")));
}
