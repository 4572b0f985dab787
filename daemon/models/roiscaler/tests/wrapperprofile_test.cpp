// The four models' profiles compose the ids of their parameter tables.
#include <gtest/gtest.h>

#include "roiscaler/wrapperprofile.h"
#include "tovikconfig/models/hestraparamids.h"
#include "tovikconfig/models/mardexparamids.h"
#include "tovikconfig/models/pendroparamids.h"
#include "tovikconfig/models/quastelparamids.h"

using namespace roiscaler;
namespace h = tovikconfig::hestra;
namespace m = tovikconfig::mardex;
namespace p = tovikconfig::pendro;
namespace q = tovikconfig::quastel;

namespace {

TEST(WrapperProfiles, IdsOfTheModelTables)
{
    const struct {
        quint32 composed;
        eParam_t table;
    } cases[] = {
        {kHestraProfile.Id(index::FpgaVersion), h::eParamID_FpgaVersion},
        {kHestraProfile.Id(index::CfgInScreenH), h::eParamID_CfgInScreenH},
        {kHestraProfile.Id(index::ImageInRoi), h::eParamID_ImageDviInRoi},
        {kHestraProfile.Id(index::GenDelayEnable), h::eParamID_GenDelayEnable},
        {kMardexProfile.Id(index::CfgOutScreenH), m::eParamID_CfgOutScreenH},
        {kMardexProfile.Id(index::AudConversion), m::eParamID_AudDpConversion},
        {kMardexProfile.Id(index::OutConnected), m::eParamID_DpOutConnected},
        {kMardexProfile.Id(index::EDIDFlowThru), m::eParamID_EDIDFlowThru},
        {kMardexProfile.Id(index::EDIDNameStr), m::eParamID_EDIDNameStr},
        {kMardexProfile.ProcessingId(processing::FixedAspectMode), m::eParamID_CfgInFixedAspectMode},
        {kMardexProfile.ProcessingId(processing::OutFrameDelay), m::eParamID_OutFrameDelay},
        {kPendroProfile.Id(index::CfgInX), p::eParamID_CfgInX},
        {kPendroProfile.Id(index::AudConversion), p::eParamID_AudHdmiConversion},
        {kPendroProfile.ProcessingId(processing::FixedSizeMode), p::eParamID_CfgInFixedSizeMode},
        {kPendroProfile.ProcessingId(processing::ProcLimitDisplay), p::eParamID_ProcLimitDisplay},
        {kQuastelProfile.Id(index::InConnected), q::eParamID_HdmiInConnected},
        {kQuastelProfile.Id(index::ModuleAssemblyBd), q::eParamID_ModuleAssemblyBd},
        {kQuastelProfile.ProcessingId(processing::OutRotation), q::eParamID_CfgOutRotation},
        {kQuastelProfile.ProcessingId(processing::VertFlipLabelColor), q::eParamID_VertFlipLabelColor},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.composed, quint32(c.table));
    EXPECT_FALSE(kHestraProfile.HasProcessing());
    EXPECT_EQ(kHestraProfile.ProcessingId(processing::OutRotation), 0u);
}

TEST(WrapperProfiles, ModelNumbersAndTypes)
{
    const struct {
        const RoiWrapperProfile& profile;
        int type;
        unsigned model;
    } cases[] = {{kHestraProfile, 5, 6}, {kMardexProfile, 14, 15}, {kPendroProfile, 18, 19}, {kQuastelProfile, 19, 20}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.profile.moduleType, c.type);
        EXPECT_EQ(c.profile.modelNumber, c.model);
    }
}

} // namespace
