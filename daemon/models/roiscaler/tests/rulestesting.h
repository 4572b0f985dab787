// The ROI scaler decisions on byte images, for tests: a new wrapper's scene
// of a model, a status image built from register values, and what an
// outcome's actions were.
#ifndef PORTVANE_ROISCALER_TESTS_RULESTESTING_H
#define PORTVANE_ROISCALER_TESTS_RULESTESTING_H

#include <array>
#include <ostream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "roiscaler/decisions/bindings.h"
#include "roiscaler/decisions/geometry.h"
#include "roiscaler/decisions/readback.h"
#include "roiscaler/decisions/scene.h"
#include "roiscaler/decisions/settings.h"
#include "roiscaler/decisions/statuspass.h"

// Values and texts as test failures show them.
inline void PrintTo(const QVariant& value, std::ostream* os)
{
    *os << (value.isValid() ? value.typeName() : "invalid") << " " << value.toString().toStdString();
}

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace rulestesting {

using namespace roiscaler;

// A status image: every byte 0, then the registers given.
struct Status {
    std::array<UByte, kStatusImageBytes> bytes{};

    Status() = default;
    Status(std::initializer_list<std::pair<int, int>> registers) { Set(registers); }
    Status& Set(std::initializer_list<std::pair<int, int>> registers)
    {
        for (const auto& r : registers)
            bytes[std::size_t(r.first)] = UByte(r.second);
        return *this;
    }
    // The measured (first 45) or set (first 27) input raster and its frame
    // period count.
    Status& Input(int first, int w, int h, quint32 period)
    {
        const int widthMsb = first, widthLsb = first + 1, heightLsb = first + 5, heightMsb = first + 6;
        const int period0 = first == 45 ? 54 : 36;
        bytes[std::size_t(widthMsb)] = UByte((bytes[std::size_t(widthMsb)] & 0xF0) | ((w >> 8) & 0x0F));
        bytes[std::size_t(widthLsb)] = UByte(w);
        bytes[std::size_t(heightLsb)] = UByte(h);
        bytes[std::size_t(heightMsb)] = UByte((bytes[std::size_t(heightMsb)] & 0x0F) | ((h >> 8) & 0x0F) << 4);
        bytes[std::size_t(period0)] = UByte(period);
        bytes[std::size_t(period0 + 1)] = UByte(period >> 8);
        bytes[std::size_t(period0 + 2)] = UByte(period >> 16);
        return *this;
    }
    Status& Measured(int w, int h, quint32 period = 450450) { return Input(45, w, h, period); }
    Status& SetTo(int w, int h, quint32 period = 450450) { return Input(27, w, h, period); }
    const UByte* data() const { return bytes.data(); }
};

// A converter with an input of 1920 x 1080 at 59.94 that it is set to and
// that matches, a reference, its output connected.
inline Status Typical()
{
    Status s{{20, 0x40}, {42, 0x80}, {43, 0x80}};
    s.Measured(1920, 1080).SetTo(1920, 1080);
    return s;
}

// A new wrapper's scene: the block's defaults (with a measured input), the
// wrapper's default values, the proxies as the wrapper makes them.
inline RoiScene NewScene(const RoiModel& model)
{
    RoiScene scene{BlockImage(model), ParamValues(), FirstInProxy(), FirstOutProxy(), FirstMemory(model)};
    PutDefaults(model, scene.values);
    // The block as read from a converter with an input: a line total.
    scene.block.Set(RoiField::_fpgaInputHTotalLSB, 0x98);
    return scene;
}

inline RoiContext Linked(const RoiModel& model, const Status& status)
{
    return RoiContext{model, status.data(), true};
}

// The actions as letters: S stream-out, W write, T timer restart, I timer
// start when idle, D debug line, R configuration read, B readback, G delay
// availability, Y identity, P publish, N module name, F fit step, C delay
// clamp, X reread, M record modes, V revert to Auto, O restore input, A
// reapply input, U input texts, E EDID name.
inline std::string Actions(const RoiOutcome& outcome)
{
    static const char kLetters[] = "SWTIDDRBGYPNFCXMVOAUE";
    std::string text;
    for (const RoiAction& a : outcome.actions)
        text += kLetters[a.kind];
    return text;
}

inline bool HasAction(const RoiOutcome& outcome, RoiAction::Kind kind)
{
    for (const RoiAction& a : outcome.actions)
        if (a.kind == kind)
            return true;
    return false;
}

// Takes an outcome as the wrapper would, without a converter: rereads
// succeed and leave the block as it is, the identity and the EDID name are
// the ones given; sends, timers and configuration reads do nothing. Every
// action lands in log.
struct Converter {
    RoiIdentity identity;
    QString edidName;
    std::vector<RoiAction> log;

    RoiScene Take(const RoiContext& c, RoiOutcome outcome)
    {
        RoiScene scene = std::move(outcome.scene);
        for (const RoiAction& a : outcome.actions) {
            log.push_back(a);
            switch (a.kind) {
            case RoiAction::Fit:
                scene = Take(c, SelectFit(c, scene, a.a, a.b != 0));
                break;
            case RoiAction::ClampDelays:
                scene = Take(c, SetHorizontalDelay(c, scene, a.a));
                scene = Take(c, SetVerticalDelay(c, scene, a.b));
                break;
            case RoiAction::PublishIdentity: {
                RoiOutcome o{scene, {}};
                PutIdentity(c, identity, o);
                scene = Take(c, std::move(o));
                break;
            }
            case RoiAction::DelayAvailability:
                PutDelayAvailability(c, scene.block, scene.values);
                break;
            case RoiAction::Readback:
                scene = Take(c, roiscaler::Readback(c, scene, LinkState{true, false}));
                break;
            case RoiAction::RecordModes:
                RecordModes(c.model, scene.block, scene.memory);
                break;
            case RoiAction::RevertToAuto:
                scene = Take(c, RevertToAuto(c, scene));
                break;
            case RoiAction::RestoreInput:
                scene = Take(c, RestoreInput(c, scene, a.a, a.b));
                break;
            case RoiAction::ReapplyInput:
                scene = Take(c, ReapplyInput(c, scene));
                break;
            case RoiAction::InputTexts:
                PutInputTexts(c, scene.values);
                break;
            case RoiAction::ReadEdidName:
                PutS(scene.values, c.model.Id(Param::EDIDNameStr), edidName);
                break;
            default:
                break;
            }
        }
        return scene;
    }

    // A readback of the scene.
    RoiScene Readback(const RoiContext& c, RoiScene scene, LinkState link = {true, false})
    {
        return Take(c, roiscaler::Readback(c, std::move(scene), link));
    }

    // A status pass over the scene, as the wrapper runs its three stages.
    RoiScene Status(const RoiContext& c, RoiScene scene, bool releaseWatches = true)
    {
        if (StatusWaits(c, scene))
            return scene;
        const StatusSample sample = SampleStatus(c, scene);
        scene = Take(c, WatchInput(c, std::move(scene), sample, releaseWatches));
        const bool inputProxyEnabled = scene.in.IsEnabled();
        scene = Take(c, UpdateInput(c, std::move(scene), sample));
        return Take(c, PublishPass(c, std::move(scene), sample, inputProxyEnabled));
    }

    // The kinds of the actions logged so far, then an empty log.
    std::vector<RoiAction::Kind> Kinds()
    {
        std::vector<RoiAction::Kind> kinds;
        for (const RoiAction& a : log)
            kinds.push_back(a.kind);
        log.clear();
        return kinds;
    }
};

// A scene after its first readback and status pass on the status image.
inline RoiScene Started(const RoiContext& c, RoiScene scene)
{
    Converter converter;
    scene = converter.Readback(c, std::move(scene));
    return converter.Status(c, std::move(scene));
}

inline const RoiModel& H = kHestraModel;
inline const RoiModel& M = kMardexModel;
inline const RoiModel& P = kPendroModel;
inline const RoiModel& Q = kQuastelModel;

inline const RoiModel* const kModels[] = {&kHestraModel, &kMardexModel, &kPendroModel, &kQuastelModel};

} // namespace rulestesting

#endif
