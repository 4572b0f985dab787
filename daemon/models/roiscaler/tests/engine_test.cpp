// The ROI scaler blocks driven through the command engine, as the wrappers
// drive them, on simulated scalers described by the shipped types/ files.
#include <gtest/gtest.h>

#include <memory>

#include "blockmodels.h"
#include "blockowner.h"
#include "blocktesting.h"
#include "roiscaler/block/scalerblock.h"

namespace {

using namespace blocktesting;
using F = RoiField;

using Model = BlockModel;

TEST(RoiScalerBlockThroughTheEngine, ReadChangeStreamOutWriteReread)
{
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        EngineRig rig;
        convsim::Simulator& sim = rig.Add(Converter(m.type));
        CCmdEngine& engine = rig.Engine();
        ASSERT_EQ(engine.Open(QString()), 0);
        std::unique_ptr<CRoiScalerBlock> block(m.make(&engine, 0));
        EXPECT_EQ(tovik::test::BlockOwner::Of(*block), &engine);
        engine.AttachConfigBlock(block.get());

        // The first read gives the converter's configuration.
        ASSERT_EQ(engine.ReadConfiguration(), 0);
        EXPECT_EQ(block->Field(F::_inputActivePixels), 720);
        EXPECT_EQ(block->Field(F::_outputActiveLines), 1080);
        EXPECT_EQ(block->Field(F::_stInputHWidth), 1920);
        EXPECT_EQ(block->Field(F::_stInputVHeight), 1080);
        EXPECT_EQ(block->Field(F::_stHzThousandsReg0), 0x92);
        EXPECT_EQ(block->Field(F::_fpgaInputHWidth), 1920);
        EXPECT_EQ(block->Field(F::_genLockCtrl), m.type == 14 ? 4 : 0);
        EXPECT_EQ(HexText(Packed(*block)), HexText(sim.ConfigMemory(0, 0)));

        // A setter's road: change fields, stream out, write.
        block->SetField(F::_outputActivePixels, 1280);
        block->SetField(F::_outputActiveLines, 720);
        block->SetField(F::_backColorCr, 0x6E);
        block->SetField(F::_verticalDelay, 0x345);
        block->SetField(F::_rotation, 2);
        sim.ClearLog();
        EXPECT_EQ(engine.StreamOutConfigBlock(0, 0), 1);
        EXPECT_EQ(engine.WriteConfigBlock(0, 0), 1);
        EXPECT_EQ(EngineRig::Codes(sim), (std::vector<int>{0x9D, 0x9D, 0x8B, 0x88, 0x88, 0x88, 0x8A, 0x9D}));
        const Image image = Packed(*block);
        EXPECT_EQ(HexText(sim.ConfigMemory(0, 0)), HexText(image));
        Image live = image;
        live[20] = UByte(live[20] | 0x10);
        EXPECT_EQ(HexText(sim.ReadRegisters(1, 0, 3, 41)), HexText(LiveRegisters(m.type, live)));
        EXPECT_EQ(image[6], 0x00);             // 1280 = 0x500
        EXPECT_EQ(image[7], 0x52);             // high nibbles 5 and 2 (720 = 0x2D0)
        EXPECT_EQ(image[20] & 0x0C, m.type == 5 ? 0x00 : 0x08);

        // The converter changes its configuration; a reread shows it.
        Image changed = image;
        changed[12] = 0x77; // ROI control with the save bit
        ASSERT_EQ(engine.GetCommProtocol().WriteConfigData(0, 0, changed.data(), UWord(changed.size())), 0);
        ASSERT_EQ(engine.ReadConfiguration(), 0);
        EXPECT_EQ(block->Field(F::_roiCtrl), 0x77);
        EXPECT_EQ(block->Field(F::_saveRoi), m.type == 5 ? 0 : 1);
        EXPECT_EQ(block->Field(F::_verticalDelay), 0x345);
        EXPECT_EQ(block->Field(F::_outputActiveLines), 720);

        // A refused read is reported by the engine and changes no field.
        convsim::Fault refuse;
        refuse.kind = convsim::Fault::Kind::ErrorStatus;
        refuse.code = 0x8C;
        refuse.times = 1;
        sim.AddFault(refuse);
        const std::vector<int> before = Values(*block);
        EXPECT_EQ(engine.ReadConfiguration(), -9);
        EXPECT_EQ(Values(*block), before);
    }
}

TEST(RoiScalerBlockThroughTheEngine, ABlockTheDescriptionLacksIsNeverMoved)
{
    EngineRig rig;
    convsim::Simulator& sim = rig.Add(Converter(19));
    CCmdEngine& engine = rig.Engine();
    ASSERT_EQ(engine.Open(QString()), 0);
    std::unique_ptr<CRoiScalerBlock> block(new CQuastel(&engine, 0, 1));
    engine.AttachConfigBlock(block.get());
    block->SetField(F::_backColorY, 1);
    sim.ClearLog();
    EXPECT_EQ(engine.ReadConfiguration(), 0);
    EXPECT_EQ(engine.StreamOutConfigBlock(0, 1), 0);
    EXPECT_EQ(engine.WriteConfigBlock(0, 1), 0);
    EXPECT_TRUE(EngineRig::Codes(sim).empty());
    EXPECT_EQ(block->Field(F::_backColorY), 1);
}

} // namespace
