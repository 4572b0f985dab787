#include "roiscaler/decisions/next.h"

#include "roiscaler/decisions/readback.h"
#include "roiscaler/decisions/statuspass.h"

namespace roiscaler {

RoiOutcome Continue(const RoiContext& context, RoiScene scene, const RoiNext& next)
{
    const RoiContext& c = context;
    return std::visit(
        Overloaded{
            [&](const next::Fit& n) { return FitReadBack(c, std::move(scene), n.fit); },
            [&](const next::ClampDelays& n) { return ClampDelays(c, std::move(scene), n.hDelay, n.vDelay); },
            [&](const next::RevertToAuto&) { return RevertToAuto(c, std::move(scene)); },
            [&](const next::RestoreInput& n) {
                return FinishInput(c, RestoreInput(c, std::move(scene), n.width, n.height));
            },
            [&](const next::RevertInput&) { return FinishInput(c, RevertToAuto(c, std::move(scene))); },
            [&](const next::ReapplyInput&) { return FinishInput(c, ReapplyInput(c, std::move(scene))); },
        },
        next);
}

} // namespace roiscaler
