// One block of each kind driven through the command engine, on simulated
// converters described by the shipped types/ files: the configuration read
// and the write, and no stream-out from a block that does not stream.
#include <gtest/gtest.h>

#include <memory>

#include "blocktesting.h"
#include "dovrin/cdovrin.h"
#include "estrow/cestrow.h"
#include "ilmaro/cilmaro.h"
#include "jastel/cjastel.h"
#include "kelvro/ckelvro.h"
#include "nolvar/cnolvar.h"

namespace {

using namespace blocktesting;

struct Kind {
    const char* name;
    int type;
    std::function<RegisterBlock*(CCmdEngine*)> make;
    int field;   // set before the write
    int value;
};

const Kind kKinds[] = {
    {"single image: Estrow", 7, [](CCmdEngine* e) { return new CEstrow(e, 0, 0); }, EstrowField::_outputAudioDelay, 0x9C},
    {"HDR: Dovrin", 6, [](CCmdEngine* e) { return new CDovrin(e, 0, 0); }, DovrinField::_maxFall, 0x1F4},
    {"status decoding: Nolvar", 16, [](CCmdEngine* e) { return new CNolvar(e, 0, 0); }, NolvarField::_genlock, 1},
    {"status decoding: Kelvro", 13, [](CCmdEngine* e) { return new CKelvro(e, 0, 0); }, KelvroField::_audLevel, 2},
    {"wide: Ilmaro", 11, [](CCmdEngine* e) { return new CIlmaro(e, 0, 0); }, IlmaroField::_audIn2ChPair, 3},
    {"wide: Jastel", 12, [](CCmdEngine* e) { return new CJastel(e, 0, 0); }, JastelField::_enable1DLut, 1},
};

TEST(ModelBlocksThroughTheEngine, ReadAndWrite)
{
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        EngineRig rig;
        convsim::Personality p = Converter(k.type);
        // The converter's memory differs from a fresh block's in every byte.
        std::vector<uint8_t>& memory = p.fpgas.at(0).blocks.at(0).memory;
        for (std::size_t i = 0; i < memory.size(); ++i)
            memory[i] = UByte(memory[i] ^ (0x5A + 3 * i));
        convsim::Simulator& sim = rig.Add(p);
        CCmdEngine& engine = rig.Engine();
        ASSERT_EQ(engine.Open(QString()), 0);
        std::unique_ptr<RegisterBlock> block(k.make(&engine));
        engine.AttachConfigBlock(block.get());

        ASSERT_EQ(engine.ReadConfiguration(), 0);
        std::unique_ptr<RegisterBlock> expected(k.make(nullptr));
        expected->Unpack(memory.data());
        EXPECT_EQ(Values(*block), Values(*expected));

        block->SetField(k.field, k.value);
        sim.ClearLog();
        EXPECT_EQ(engine.StreamOutConfigBlock(0, 0), 1);
        EXPECT_TRUE(EngineRig::Codes(sim).empty()) << "no stream-out";
        EXPECT_EQ(engine.WriteConfigBlock(0, 0), 1);
        const Image image = Packed(*block);
        EXPECT_EQ(HexText(sim.ConfigMemory(0, 0)), HexText(image));

        // Jastel puts the image into registers 3 to 34 first.
        const std::vector<int> codes = EngineRig::Codes(sim);
        ASSERT_FALSE(codes.empty());
        if (k.type == 12) {
            EXPECT_EQ(codes.front(), 0x9D);
            EXPECT_EQ(codes[1], 0x8B);
            EXPECT_EQ(HexText(sim.ReadRegisters(1, 0, 3, 32)), HexText(image));
            const convsim::Bytes frame = EngineRig::Frames(sim, 0x9D).at(0);
            EXPECT_EQ(HexText(Image(frame.begin(), frame.begin() + 10)), "9D 00 2A 01 00 00 00 00 03 20");
        } else {
            EXPECT_EQ(codes.front(), 0x8B);
            EXPECT_TRUE(EngineRig::Frames(sim, 0x9D).empty());
        }

        // Reread: the block holds what it wrote.
        std::unique_ptr<RegisterBlock> reread(k.make(&engine));
        engine.AttachConfigBlock(reread.get());
        ASSERT_EQ(engine.ReadConfiguration(), 0);
        EXPECT_EQ(reread->Field(k.field), k.value);
        EXPECT_EQ(HexText(Packed(*reread)), HexText(image));
    }
}

TEST(ModelBlocksThroughTheEngine, FreshJastelWrite)
{
    EngineRig rig;
    convsim::Simulator& sim = rig.Add(Converter(12));
    CCmdEngine& engine = rig.Engine();
    ASSERT_EQ(engine.Open(QString()), 0);
    CJastel block(&engine, 0, 0);
    engine.AttachConfigBlock(&block);
    sim.ClearLog();
    EXPECT_EQ(engine.WriteConfigBlock(0, 0), 1);
    const Image fresh = ImageWith(32, {{1, 0x02}, {4, 0x20}, {7, 0x80}, {10, 0xE4}, {11, 0xE4}});
    EXPECT_EQ(HexText(sim.ReadRegisters(1, 0, 3, 32)), HexText(fresh));
    EXPECT_EQ(HexText(sim.ConfigMemory(0, 0)), HexText(fresh));

    // A refused register write is not reported; the configuration write
    // still goes out and gives the result.
    convsim::Fault refuse;
    refuse.kind = convsim::Fault::Kind::ErrorStatus;
    refuse.code = 0x9D;
    sim.AddFault(refuse);
    block.SetField(JastelField::_outputAudioDelay, 7);
    EXPECT_EQ(block.WriteToDevice(engine.GetCommProtocol()), 0);
    EXPECT_EQ(sim.ConfigMemory(0, 0).at(8), 7);
    EXPECT_EQ(sim.ReadRegisters(1, 0, 11, 1).at(0), 0);
}

} // namespace
