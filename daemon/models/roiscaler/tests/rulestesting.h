// The ROI scaler decisions on byte images, for tests: a new wrapper's scene
// of a model, a status image built from register values, and what an
// outcome's effects and next decision were.
#ifndef PORTVANE_ROISCALER_TESTS_RULESTESTING_H
#define PORTVANE_ROISCALER_TESTS_RULESTESTING_H

#include <array>
#include <ostream>
#include <initializer_list>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "roiscaler/decisions/bindings.h"
#include "roiscaler/decisions/geometry.h"
#include "roiscaler/decisions/next.h"
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

// Effects and next decisions as letters: S stream-out, W write, T timer
// restart, I timer start when idle, D debug line, R configuration read, B
// readback, X reread, M record modes, Y identity, P publish, N module name,
// G delay availability, U input texts, E EDID name; F fit read back, C
// delay clamp, V revert to Auto, O restore input, A reapply input.
inline char Letter(const RoiEffect& effect)
{
    return "SWTIDDRBXMYPNGUE"[effect.index()];
}

inline char Letter(const RoiNext& next)
{
    return "FCVOVA"[next.index()];
}

// An outcome's effects, then its next decision.
inline std::string Actions(const RoiOutcome& outcome)
{
    std::string text;
    for (const RoiEffect& e : outcome.effects)
        text += Letter(e);
    if (outcome.next)
        text += Letter(*outcome.next);
    return text;
}

template <typename Kind>
bool HasEffect(const RoiOutcome& outcome)
{
    for (const RoiEffect& e : outcome.effects)
        if (std::holds_alternative<Kind>(e))
            return true;
    return false;
}

template <typename Kind>
const Kind* NextIs(const RoiOutcome& outcome)
{
    return outcome.next ? std::get_if<Kind>(&*outcome.next) : nullptr;
}

// The debug lines among an outcome's effects.
inline std::vector<QString> DebugLines(const RoiOutcome& outcome)
{
    std::vector<QString> lines;
    for (const RoiEffect& e : outcome.effects)
        if (const auto* debug = std::get_if<effect::Debug>(&e))
            lines.push_back(debug->line);
    return lines;
}

// The blocks the writes among an outcome's effects carry.
inline std::vector<BlockImage> Writes(const RoiOutcome& outcome)
{
    std::vector<BlockImage> blocks;
    for (const RoiEffect& e : outcome.effects)
        if (const auto* write = std::get_if<effect::Write>(&e))
            blocks.push_back(write->block);
    return blocks;
}

// Takes an outcome as the wrapper would, without a converter: rereads
// succeed and leave the block as it is, the identity and the EDID name are
// the ones given; sends, timers and configuration reads do nothing. Every
// effect lands in log, every effect and next decision in taken.
struct Converter {
    RoiIdentity identity;
    QString edidName;
    std::vector<RoiEffect> log;
    std::string taken;

    RoiScene Take(const RoiContext& c, RoiOutcome outcome)
    {
        RoiScene scene = std::move(outcome.scene);
        for (const RoiEffect& e : outcome.effects) {
            log.push_back(e);
            taken += Letter(e);
            std::visit(Overloaded{
                           [&](const effect::PublishIdentity&) {
                               RoiOutcome o(scene);
                               PutIdentity(c, identity, o);
                               scene = Take(c, std::move(o));
                           },
                           [&](const effect::DelayAvailability&) {
                               PutDelayAvailability(c, scene.block, scene.values);
                           },
                           [&](const effect::Readback&) {
                               scene = Take(c, roiscaler::Readback(c, scene, LinkState{true, false}));
                           },
                           [&](const effect::RecordModes&) { RecordModes(c.model, scene.block, scene.memory); },
                           [&](const effect::InputTexts&) { PutInputTexts(c, scene.values); },
                           [&](const effect::ReadEdidName&) {
                               PutS(scene.values, c.model.Id(Param::EDIDNameStr), edidName);
                           },
                           [](const auto&) {},
                       },
                       e);
        }
        if (outcome.next) {
            taken += Letter(*outcome.next);
            scene = Take(c, Continue(c, std::move(scene), *outcome.next));
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

    // The letters taken so far, then an empty log.
    std::string Kinds()
    {
        std::string letters;
        letters.swap(taken);
        log.clear();
        return letters;
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
