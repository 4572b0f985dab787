// The four model rows against the models' id lists: every parameter of a
// model's table has its name and index in the row, and nothing else.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "roiscaler/model/models.h"
#include "tovikconfig/models/hestraparamids.h"
#include "tovikconfig/models/mardexparamids.h"
#include "tovikconfig/models/pendroparamids.h"
#include "tovikconfig/models/quastelparamids.h"

using namespace roiscaler;

namespace {

struct ModelCase {
    const RoiModel& model;
    int moduleType;
    unsigned modelNumber;
    quint32 idBase;
    const tovikconfig::ParamIDName* names;
    std::size_t count;
    // The words the table's names carry where the wrappers' names have none.
    const char* word;
    const char* audioWord;
};

template <std::size_t N>
ModelCase Case(const RoiModel& model, int type, unsigned number, quint32 base,
               const tovikconfig::ParamIDName (&names)[N], const char* word, const char* audioWord)
{
    return ModelCase{model, type, number, base, names, N, word, audioWord};
}

std::vector<ModelCase> Cases()
{
    return {
        Case(kHestraModel, 5, 6, 0x01040000, tovikconfig::hestra::kParamIDNames, "Dvi", "Hdmi"),
        Case(kMardexModel, 14, 15, 0x010D0000, tovikconfig::mardex::kParamIDNames, "Dp", "Dp"),
        Case(kPendroModel, 18, 19, 0x00111000, tovikconfig::pendro::kParamIDNames, "Dvi", "Hdmi"),
        Case(kQuastelModel, 19, 20, 0x01120000, tovikconfig::quastel::kParamIDNames, "Hdmi", "Hdmi"),
    };
}

// "eParamID_ImageDpInEnabled" with word Dp: "ImageInEnabled".
std::string WithoutWord(std::string name, const char* word, const char* audioWord)
{
    name.erase(0, std::string("eParamID_").size());
    const std::string audio = std::string("Aud") + audioWord;
    if (name.rfind(audio, 0) == 0)
        return "Aud" + name.substr(audio.size());
    const std::size_t at = name.find(word);
    const bool interface = name.rfind("Image", 0) == 0 || name.find("Connected") != std::string::npos;
    if (interface && at != std::string::npos)
        name.erase(at, std::string(word).size());
    return name;
}

TEST(RoiModels, RowsOfTheFourModels)
{
    ASSERT_EQ(RoiModels().size, 4u);
    for (const ModelCase& c : Cases()) {
        SCOPED_TRACE(c.model.name);
        EXPECT_EQ(c.model.moduleType, c.moduleType);
        EXPECT_EQ(c.model.modelNumber, c.modelNumber);
        EXPECT_EQ(c.model.idBase, c.idBase);
        EXPECT_EQ(FindRoiModel(c.moduleType), &c.model);
    }
    EXPECT_EQ(FindRoiModel(7), nullptr);
    EXPECT_EQ(&kHestraModel, &RoiModels().data[0]);
}

TEST(RoiModels, EveryParameterOfTheTableHasItsName)
{
    for (const ModelCase& c : Cases()) {
        SCOPED_TRACE(c.model.name);
        std::set<Param> seen;
        for (std::size_t i = 0; i < c.count; ++i) {
            const quint32 id = quint32(c.names[i].id);
            const Param p = c.model.ParamOf(id);
            ASSERT_NE(p, Param::kCount) << c.names[i].name;
            EXPECT_EQ(c.model.Id(p), id);
            EXPECT_EQ(ParamName(p), WithoutWord(c.names[i].name, c.word, c.audioWord));
            EXPECT_TRUE(seen.insert(p).second) << c.names[i].name;
        }
        // Nothing the table lacks.
        for (std::size_t p = 0; p < kParamCount; ++p)
            EXPECT_EQ(c.model.Has(Param(p)), seen.count(Param(p)) == 1) << ParamName(Param(p));
    }
    // Ids of another base, or of an index the model lacks.
    EXPECT_EQ(kMardexModel.ParamOf(kQuastelModel.Id(Param::CfgInX)), Param::kCount);
    EXPECT_EQ(kHestraModel.ParamOf(0x0104003C), Param::kCount);
    EXPECT_EQ(kHestraModel.Id(Param::CfgOutRotation), 0u);
    EXPECT_FALSE(kHestraModel.HasProcessing());
    EXPECT_TRUE(kPendroModel.HasProcessing());
    EXPECT_EQ(kPendroModel.Id(Param::CfgOutRotation), 0x0011103Cu);
    EXPECT_EQ(kMardexModel.Id(Param::CfgOutRotation), 0x010D003Eu);
}

} // namespace
