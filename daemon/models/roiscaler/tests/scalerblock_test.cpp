// The ROI scaler configuration block: register images, the status mirrors,
// the write sequence, settings, and reads and writes on a simulated scaler.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "blocktesting.h"
#include "convsim/personality.h"
#include "blockmodels.h"
#include "roiscaler/block/scalerblock.h"

namespace {

using namespace blocktesting;
using F = RoiField;

using Model = BlockModel;

// Byte i of an image is register 3 + i.
std::size_t At(int reg)
{
    return std::size_t(reg - 3);
}

TEST(RoiScalerBlock, ProfilesAndClasses)
{
    ASSERT_EQ(roiscaler::RoiModels().size, 4u);
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        std::unique_ptr<CRoiScalerBlock> block(m.make(nullptr, 0));
        EXPECT_STREQ(block->Model().name, m.name);
        EXPECT_EQ(block->Model().moduleType, m.type);
        EXPECT_EQ(roiscaler::FindRoiModel(m.type), &block->Model());
        EXPECT_EQ(CheckLayout(block->Layout()), "");
        EXPECT_EQ(block->Layout().imageLength, 41);
        EXPECT_EQ(block->Layout().firstRegister, 3);
        EXPECT_EQ(block->FieldCount(), std::size_t(F::kCount));
        EXPECT_TRUE(block->StreamsToFPGA());
        EXPECT_EQ(block->Model().statusReadCount, IsMardex(m) ? 43 : 16);
    }
    EXPECT_EQ(roiscaler::FindRoiModel(7), nullptr);
    CMardex block(nullptr, 2, 3);
    EXPECT_EQ(block.FPGAID(), 2);
    EXPECT_EQ(block.BlockID(), 3);
}

TEST(RoiScalerBlock, FreshBlocksGiveTheDefaultImage)
{
    const Image common = Hex("D0 21 E6 58 21 65 40 64 38 A0 00 00 57 04 80 10 80 00");
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        std::unique_ptr<CRoiScalerBlock> block(m.make(nullptr, 0));
        Image expected = common;
        expected.resize(41, 0);
        if (IsMardex(m)) {
            expected[At(20)] = 0x04; // genlock control
            expected[At(41)] = 0x10; // EDID flow-through
        }
        EXPECT_EQ(HexText(Packed(*block)), HexText(expected));
        for (int reg = 3; reg <= 43; ++reg)
            EXPECT_EQ(block->PackRegister(reg), expected[At(reg)]) << reg;
        EXPECT_EQ(block->PackRegister(2), 0);
        EXPECT_EQ(block->PackRegister(44), 0);
        EXPECT_EQ(block->PackRegister(-1), 0);

        // Fields without a default, and the mirrors, start at 0; the
        // simulated scaler's default memory is the same image with its
        // input timing.
        EXPECT_EQ(block->Field(F::_saveRoi), 0);
        EXPECT_EQ(block->Field(F::_stInputHStartLSB), 0);
        EXPECT_EQ(block->Field(F::_fpgaInputHWidth), 0);
        Image simulated = convsim::DefaultScalerImage(m.type);
        for (int reg = 26; reg <= 38; ++reg)
            simulated[At(reg)] = 0;
        EXPECT_EQ(HexText(simulated), HexText(expected));
    }
}

// Sets fields, packs, and compares the registers named; every register not
// named is as in the fresh image.
TEST(RoiScalerBlock, PacksEachFieldIntoItsRegisters)
{
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> fields;
        std::vector<std::pair<int, UByte>> registers;
        bool allModels; // else Mardex, Pendro and Quastel only
    };
    const Case cases[] = {
        {"12-bit pair", {{F::_inputActivePixels, 0x9AB}, {F::_inputActiveLines, 0x456}}, {{3, 0xAB}, {4, 0x94}, {5, 0x56}}, true},
        {"12-bit fields keep 12 bits", {{F::_outputHStartOffset, 0x1ABC}, {F::_outputVStartOffset, 0xF123}},
         {{12, 0xBC}, {13, 0xA1}, {14, 0x23}}, true},
        {"vertical delay", {{F::_verticalDelay, 0xFFF}, {F::_genLockCtrl, 0}, {F::_edidSwitch, 0}}, {{22, 0xFF}, {35, 0x80}, {20, 0x80}, {41, 0xC0}}, true},
        {"horizontal delay", {{F::_horizontalDelay, 0xFFF}}, {{21, 0xFF}, {35, 0x78}}, true},
        {"genlock bit 7 never sent", {{F::_genLockCtrl, 0xFF}}, {{20, 0x7F}}, true},
        {"misc signal sends bits 2..0 beside the delays",
         {{F::_stInputMiscSignal, 0xFF}, {F::_horizontalDelay, 0x500}, {F::_verticalDelay, 0x100}}, {{35, 0xAF}, {21, 0}}, true},
        {"filters", {{F::_sharpBlanking, 1}, {F::_isSmpte, 1}, {F::_flickerFiltering, 1}}, {{23, 0xE0}}, true},
        {"colours, format and audio",
         {{F::_sdiOutVideoCtrl, 0x47}, {F::_backColorCr, 1}, {F::_backColorY, 2}, {F::_backColorCb, 3}, {F::_audioControl, 0xDE}},
         {{16, 0x47}, {17, 1}, {18, 2}, {19, 3}, {39, 0xDE}}, true},
        {"timing bytes", {{F::_stInputHStartLSB, 0x11}, {F::_stInputVTotalLSB, 0x99}, {F::_stHzThousandsReg2, 0x06}},
         {{26, 0x11}, {34, 0x99}, {38, 0x06}}, true},
        {"fit state", {{F::_swStateSelect, 0x31}}, {{24, 0x31}}, true},
        {"save flag replaces ROI control bit 5", {{F::_roiCtrl, 0xFF}, {F::_saveRoi, 0}}, {{15, 0xDF}}, false},
        {"save flag set", {{F::_roiCtrl, 0x00}, {F::_saveRoi, 1}}, {{15, 0x20}}, false},
        {"rotation and frame delay share bit 2", {{F::_rotation, 2}, {F::_frameDelay, 1}}, {{23, 0x0C}}, false},
        {"rotation keeps two bits", {{F::_rotation, 7}}, {{23, 0x0C}}, false},
        {"flips", {{F::_verticalFlip, 1}, {F::_horizontalFlip, 1}}, {{23, 0x03}}, false},
        {"second state byte", {{F::_swStateSelect2, 0x03}}, {{25, 0x03}}, false},
    };
    for (const Model& m : kBlockModels) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(m.name) + ": " + c.name);
            std::unique_ptr<CRoiScalerBlock> block(m.make(nullptr, 0));
            Image expected = Packed(*block);
            for (const auto& f : c.fields)
                block->SetField(f.first, f.second);
            if (c.allModels || !IsHestra(m)) {
                for (const auto& r : c.registers)
                    expected[At(r.first)] = r.second;
            } else if (c.fields.front().first == F::_roiCtrl) {
                expected[At(15)] = UByte(block->Field(F::_roiCtrl)); // Hestra: the whole control
            }
            EXPECT_EQ(HexText(Packed(*block)), HexText(expected));
        }
    }
}

TEST(RoiScalerBlock, MardexOwnsRegister41Bits)
{
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        std::unique_ptr<CRoiScalerBlock> block(m.make(nullptr, 0));
        block->SetField(F::_edidSwitch, 1);
        block->SetField(F::_audioDpSelectIndex, 1);
        EXPECT_EQ(block->PackRegister(41), IsMardex(m) ? 0x18 : 0x00);
        block->SetField(F::_edidSwitch, 0);
        EXPECT_EQ(block->PackRegister(41), IsMardex(m) ? 0x08 : 0x00);
    }
}

// An image read into every field: the value each field takes.
TEST(RoiScalerBlock, UnpacksEveryField)
{
    Image image(41);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = UByte(0xA1 + 7 * i);
    // Registers 20, 23, 35 and 41, chosen for the shared bits.
    image[At(20)] = 0x85;
    image[At(23)] = 0xB7; // sharp, flicker, bit 4 (ignored), rotation 01, flips
    image[At(35)] = 0xD6;
    image[At(41)] = 0x5F;
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        std::unique_ptr<CRoiScalerBlock> block(m.make(nullptr, 0));
        block->Unpack(image.data());
        const auto reg = [&](int r) { return int(image[At(r)]); };
        EXPECT_EQ(block->Field(F::_inputActivePixels), reg(3) | (reg(4) >> 4) << 8);
        EXPECT_EQ(block->Field(F::_inputActiveLines), reg(5) | (reg(4) & 0xF) << 8);
        EXPECT_EQ(block->Field(F::_inputHStartOffset), reg(6) | (reg(7) >> 4) << 8);
        EXPECT_EQ(block->Field(F::_inputVStartOffset), reg(8) | (reg(7) & 0xF) << 8);
        EXPECT_EQ(block->Field(F::_outputActivePixels), reg(9) | (reg(10) >> 4) << 8);
        EXPECT_EQ(block->Field(F::_outputActiveLines), reg(11) | (reg(10) & 0xF) << 8);
        EXPECT_EQ(block->Field(F::_outputHStartOffset), reg(12) | (reg(13) >> 4) << 8);
        EXPECT_EQ(block->Field(F::_outputVStartOffset), reg(14) | (reg(13) & 0xF) << 8);
        EXPECT_EQ(block->Field(F::_roiCtrl), reg(15));
        EXPECT_EQ(block->Field(F::_saveRoi), IsHestra(m) ? 0 : (reg(15) >> 5) & 1);
        EXPECT_EQ(block->Field(F::_sdiOutVideoCtrl), reg(16));
        EXPECT_EQ(block->Field(F::_backColorCr), reg(17));
        EXPECT_EQ(block->Field(F::_backColorY), reg(18));
        EXPECT_EQ(block->Field(F::_backColorCb), reg(19));
        EXPECT_EQ(block->Field(F::_genLockCtrl), 0x05);
        EXPECT_EQ(block->Field(F::_horizontalDelay), reg(21) | 0xA << 8);
        EXPECT_EQ(block->Field(F::_verticalDelay), reg(22) | 1 << 8 | 1 << 9 | 1 << 10);
        EXPECT_EQ(block->Field(F::_sharpBlanking), 1);
        EXPECT_EQ(block->Field(F::_isSmpte), 0);
        EXPECT_EQ(block->Field(F::_flickerFiltering), 1);
        EXPECT_EQ(block->Field(F::_rotation), IsHestra(m) ? 0 : 1);
        EXPECT_EQ(block->Field(F::_frameDelay), IsHestra(m) ? 0 : 1);
        EXPECT_EQ(block->Field(F::_verticalFlip), IsHestra(m) ? 0 : 1);
        EXPECT_EQ(block->Field(F::_horizontalFlip), IsHestra(m) ? 0 : 1);
        EXPECT_EQ(block->Field(F::_swStateSelect), reg(24));
        EXPECT_EQ(block->Field(F::_swStateSelect2), IsHestra(m) ? 0 : reg(25));
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(block->Field(F::_stInputHStartLSB + i), reg(26 + i)) << i;
        EXPECT_EQ(block->Field(F::_stInputMiscSignal), 0xD6);
        EXPECT_EQ(block->Field(F::_stHzThousandsReg0), reg(36));
        EXPECT_EQ(block->Field(F::_stHzThousandsReg1), reg(37));
        EXPECT_EQ(block->Field(F::_stHzThousandsReg2), reg(38));
        EXPECT_EQ(block->Field(F::_stInputHWidth), reg(28) | (reg(27) & 0xF) << 8);
        EXPECT_EQ(block->Field(F::_stInputVHeight), reg(32) | (reg(33) >> 4) << 8);
        EXPECT_EQ(block->Field(F::_audioControl), reg(39));
        EXPECT_EQ(block->Field(F::_edidSwitch), IsMardex(m) ? 1 : 0);
        EXPECT_EQ(block->Field(F::_audioDpSelectIndex), IsMardex(m) ? 1 : 0);

        // Rotation 1 with the frame delay packs to the same bits again.
        EXPECT_EQ(block->PackRegister(23), IsHestra(m) ? 0xA0 : 0xA7);
        // The misc signal holds the whole register, and sends its low bits.
        EXPECT_EQ(block->PackRegister(35), 0xD6);
    }
}

// The bits each model owns; every other bit is written 0.
Image OwnedBits(const Model& m)
{
    Image mask(41, 0xFF);
    mask[At(23)] = IsHestra(m) ? 0xE0 : 0xEF;
    mask[At(25)] = IsHestra(m) ? 0x00 : 0xFF;
    mask[At(40)] = 0;
    mask[At(41)] = IsMardex(m) ? 0xD8 : 0xC0;
    mask[At(42)] = 0;
    mask[At(43)] = 0;
    return mask;
}

TEST(RoiScalerBlockOnConverter, WritesBackExactlyTheBitsItOwns)
{
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        SimLink link(convsim::Personality::ForType(m.type));
        ASSERT_TRUE(link.Ready());
        std::unique_ptr<CRoiScalerBlock> block(m.make(nullptr, 0));
        ExpectWritesBackOwnedBits(*block, link, OwnedBits(m), 12, unsigned(m.type));
    }
}

TEST(RoiScalerBlockOnConverter, ReadsTheStatusMirrors)
{
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        convsim::Personality p = convsim::Personality::ForType(m.type);
        const Image mirrors = Hex("C0 27 80 98 80 29 38 44 65 00 92 DF 06 80 00 A0");
        std::copy(mirrors.begin(), mirrors.end(), p.statusImage.begin() + 44);
        SimLink link(p);
        ASSERT_TRUE(link.Ready());
        std::unique_ptr<CRoiScalerBlock> block(m.make(nullptr, 0));
        ASSERT_EQ(block->ReadFromDevice(link._protocol), 41);

        EXPECT_EQ(block->Field(F::_fpgaInputHStartLSB), 0xC0);
        EXPECT_EQ(block->Field(F::_fpgaInputHWidthLSB), 0x80);
        EXPECT_EQ(block->Field(F::_fpgaHzThousandsReg2), 0x06);
        EXPECT_EQ(block->Field(F::_fpgaInputHWidth), 0x780); // 1920
        EXPECT_EQ(block->Field(F::_fpgaInputVHeight), 0x438); // 1080
        EXPECT_EQ(block->Field(F::_procLimit), IsHestra(m) ? 0 : 1);
        EXPECT_EQ(block->Field(F::_statusReg59Bit5), IsHestra(m) ? 0 : 1);
        EXPECT_EQ(block->Field(F::_statusReg59Bit7), IsHestra(m) ? 0 : 1);
        // The configuration: the simulated scaler's timing 1920 x 1080.
        EXPECT_EQ(block->Field(F::_stInputHWidth), 1920);
        EXPECT_EQ(block->Field(F::_stInputVHeight), 1080);

        // One configuration read and one status read of 16 (Mardex 43)
        // bytes at register 44 of the scaler FPGA.
        std::vector<convsim::Bytes> statusReads;
        for (const convsim::LogEntry& e : link._sim.Log())
            if (e.code == 0x9E)
                statusReads.push_back(e.bytes);
        ASSERT_EQ(statusReads.size(), 1u);
        EXPECT_EQ(HexText(statusReads[0]), IsMardex(m) ? "9E 00 0A 01 00 00 00 00 2C 2B" : "9E 00 0A 01 00 00 00 00 2C 10");
    }
}

// The measured width and height pair a byte with a nibble of the next one;
// with the nibbles of those bytes told apart, a nibble taken from the wrong
// half shows.
TEST(RoiScalerBlockOnConverter, MeasuredSizeNibblesFromTheirOwnHalves)
{
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        convsim::Personality p = convsim::Personality::ForType(m.type);
        // Width 0xA00 | 0x80 (the high nibble of byte 1 belongs to the
        // start), height 0x900 | 0x38 (the low nibble of byte 7 to the total).
        const Image mirrors = Hex("C0 5A 80 98 80 29 38 93 65 00 92 DF 06 00 00 00");
        std::copy(mirrors.begin(), mirrors.end(), p.statusImage.begin() + 44);
        SimLink link(p);
        ASSERT_TRUE(link.Ready());
        std::unique_ptr<CRoiScalerBlock> block(m.make(nullptr, 0));
        ASSERT_EQ(block->ReadFromDevice(link._protocol), 41);
        EXPECT_EQ(block->Field(F::_fpgaInputHWidth), 0xA80);
        EXPECT_EQ(block->Field(F::_fpgaInputVHeight), 0x938);
    }
}

TEST(RoiScalerBlockOnConverter, FailedReadsChangeNothing)
{
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        SimLink link(convsim::Personality::ForType(m.type));
        ASSERT_TRUE(link.Ready());
        std::unique_ptr<CRoiScalerBlock> block(m.make(nullptr, 0));
        for (int f = 0; f < F::kCount; ++f)
            block->SetField(f, 0x5A5 + f);
        const std::vector<int> before = Values(*block);

        // The configuration read refused: nothing changes, mirrors included.
        convsim::Fault refuse;
        refuse.kind = convsim::Fault::Kind::ErrorStatus;
        refuse.code = 0x8C;
        refuse.times = 1;
        link._sim.AddFault(refuse);
        EXPECT_EQ(block->ReadFromDevice(link._protocol), 0);
        EXPECT_EQ(Values(*block), before);

        // The status read refused: the configuration is read, the mirrors
        // keep their values, and the read still succeeds.
        refuse.code = 0x9E;
        link._sim.AddFault(refuse);
        EXPECT_EQ(block->ReadFromDevice(link._protocol), 41);
        const std::vector<int> after = Values(*block);
        EXPECT_EQ(after[F::_inputActivePixels], 720);
        for (int f = F::_procLimit; f < F::kCount; ++f)
            EXPECT_EQ(after[std::size_t(f)], before[std::size_t(f)]) << f;
    }
}

// Stream-out then write: 41 bytes at register 3, register 23 with bit 4,
// the 41-byte configuration write, register 23 with bit 4.
TEST(RoiScalerBlockOnConverter, StreamOutThenWrite)
{
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        SimLink link(convsim::Personality::ForType(m.type));
        ASSERT_TRUE(link.Ready());
        std::unique_ptr<CRoiScalerBlock> block(m.make(nullptr, 0));
        block->SetField(F::_backColorY, 235);
        block->SetField(F::_sharpBlanking, 1);
        block->SetField(F::_horizontalFlip, 1);
        const Image image = Packed(*block);
        ASSERT_EQ(image[At(23)] & 0x10, 0);
        const UByte reg23 = UByte(image[At(23)] | 0x10);

        link._sim.ClearLog();
        EXPECT_EQ(block->StreamOutFPGA(link._protocol), 0);
        EXPECT_EQ(block->WriteToDevice(link._protocol), 0);

        std::vector<int> codes;
        std::vector<convsim::Bytes> immediates;
        Image sent;
        for (const convsim::LogEntry& e : link._sim.Log()) {
            codes.push_back(e.code);
            if (e.code == 0x9D)
                immediates.push_back(e.bytes);
            if (e.code == 0x88) // send-data chunks: count, then the bytes
                sent.insert(sent.end(), e.bytes.begin() + 5, e.bytes.end());
        }
        // 41 bytes in 16-byte chunks.
        EXPECT_EQ(codes, (std::vector<int>{0x9D, 0x9D, 0x8B, 0x88, 0x88, 0x88, 0x8A, 0x9D}));
        ASSERT_EQ(immediates.size(), 3u);
        Image streamed = Hex("9D 00 33 01 00 00 00 00 03 29");
        streamed.insert(streamed.end(), image.begin(), image.end());
        EXPECT_EQ(HexText(immediates[0]), HexText(streamed));
        const Image followUp = {0x9D, 0x00, 0x0B, 0x01, 0x00, 0x00, 0x00, 0x00, 0x17, 0x01, reg23};
        EXPECT_EQ(HexText(immediates[1]), HexText(followUp));
        EXPECT_EQ(HexText(immediates[2]), HexText(followUp));
        EXPECT_EQ(HexText(sent), HexText(image));

        // The converter holds the image in configuration memory and in its
        // live registers, register 23 as the follow-up left it and its own
        // status bits as they were.
        EXPECT_EQ(HexText(link._sim.ConfigMemory(0, 0)), HexText(image));
        Image live = image;
        live[At(23)] = reg23;
        EXPECT_EQ(HexText(link._sim.ReadRegisters(1, 0, 3, 41)), HexText(LiveRegisters(m.type, live)));
    }
}

TEST(RoiScalerBlockOnConverter, FollowUpIsSentWhenTheImageWriteFails)
{
    SimLink link(convsim::Personality::ForType(19));
    ASSERT_TRUE(link.Ready());
    CQuastel block(nullptr, 0, 0);
    convsim::Fault refuse;
    refuse.kind = convsim::Fault::Kind::ErrorStatus;
    refuse.code = 0x8B;
    link._sim.AddFault(refuse);
    link._sim.ClearLog();
    EXPECT_EQ(block.WriteToDevice(link._protocol), 0); // the follow-up's status
    const auto log = link._sim.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].code, 0x8B);
    EXPECT_EQ(log[1].code, 0x9D);

    // A block the converter lacks: the image write fails, the register-23
    // write still goes out, and its status is what the write returns.
    CQuastel missing(nullptr, 0, 5);
    link._sim.ClearFaults();
    refuse.code = 0x9D;
    link._sim.AddFault(refuse);
    EXPECT_NE(missing.WriteToDevice(link._protocol), 0);
}

TEST(RoiScalerBlockSettings, KeysPerModel)
{
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        std::unique_ptr<CRoiScalerBlock> block(m.make(nullptr, 0));
        IniFile ini;
        EXPECT_TRUE(block->SaveSettings(ini.Settings()));
        const QStringList keys = ini.Reopened()->allKeys();
        EXPECT_EQ(keys.size(), int(block->Model().settingsKeys));
        EXPECT_EQ(KeyCount(*block), int(block->Model().settingsKeys));
        EXPECT_EQ(keys.contains(QStringLiteral("_saveRoi")), !IsHestra(m));
        EXPECT_EQ(keys.contains(QStringLiteral("_rotation")), !IsHestra(m));
        EXPECT_EQ(keys.contains(QStringLiteral("_edidSwitch")), IsMardex(m));
        EXPECT_EQ(keys.contains(QStringLiteral("_audioDpSelectIndexControl")), IsMardex(m));
        EXPECT_FALSE(keys.contains(QStringLiteral("_audioDpSelectIndex")));
        EXPECT_FALSE(keys.contains(QStringLiteral("_stInputHWidth")));
        EXPECT_FALSE(keys.contains(QStringLiteral("_procLimit")));
        EXPECT_TRUE(keys.contains(QStringLiteral("_stInputMiscSignal")));
    }
}

TEST(RoiScalerBlockSettings, RoundTripThroughAnIniFile)
{
    for (const Model& m : kBlockModels) {
        SCOPED_TRACE(m.name);
        std::unique_ptr<CRoiScalerBlock> saved(m.make(nullptr, 0));
        for (int f = 0; f < F::kCount; ++f)
            saved->SetField(f, 0x3A7 * (f + 1));
        saved->SetField(F::_saveRoi, 1);
        saved->SetField(F::_edidSwitch, 0);
        saved->SetField(F::_audioDpSelectIndex, 1);
        IniFile ini;
        saved->SaveSettings(ini.Settings());
        const std::unique_ptr<QSettings> reopened = ini.Reopened();
        EXPECT_EQ(reopened->value(QStringLiteral("_inputActivePixels")).toString(),
                  QString::number(saved->Field(F::_inputActivePixels)));

        std::unique_ptr<CRoiScalerBlock> loaded(m.make(nullptr, 0));
        loaded->SetField(F::_procLimit, 1);
        EXPECT_TRUE(loaded->LoadSettings(*reopened));
        for (int f = 0; f < F::kCount; ++f) {
            const bool keyed = saved->Layout().fields.data[f].key != nullptr;
            if (keyed) {
                EXPECT_EQ(loaded->Field(f), saved->Field(f)) << f;
            } else if (f != F::_procLimit) {
                EXPECT_EQ(loaded->Field(f), 0) << f; // mirrors are not loaded
            }
        }
        EXPECT_EQ(loaded->Field(F::_procLimit), 1) << "mirrors are left alone";
    }
}

TEST(RoiScalerBlockSettings, LoadConversionsAndOlderKeys)
{
    IniFile ini;
    QSettings& s = ini.Settings();
    CMardex block(nullptr, 0, 0);
    block.SetField(F::_backColorY, 99);
    block.SetField(F::_stInputHStartLSB, 7);
    EXPECT_TRUE(block.LoadSettings(s));
    EXPECT_EQ(block.Field(F::_backColorY), 16) << "empty settings give the defaults";
    EXPECT_EQ(block.Field(F::_stInputHStartLSB), 7) << "Reset leaves the timing bytes";
    EXPECT_EQ(block.Field(F::_edidSwitch), 1);
    EXPECT_EQ(block.Field(F::_genLockCtrl), 4);

    s.setValue(QStringLiteral("_inputActivePixels"), 0x12345); // narrowed to 16 bits
    s.setValue(QStringLiteral("_roiCtrl"), 0x1FF);
    s.setValue(QStringLiteral("_isSmpte"), 5);
    s.setValue(QStringLiteral("_saveRoi"), QStringLiteral("true"));
    s.setValue(QStringLiteral("_audioDpSelectIndex"), 1); // the older key
    s.setValue(QStringLiteral("_backColorY"), QStringLiteral("junk"));
    block.LoadSettings(s);
    EXPECT_EQ(block.Field(F::_inputActivePixels), 0x2345);
    EXPECT_EQ(block.Field(F::_roiCtrl), 0xFF);
    EXPECT_EQ(block.Field(F::_isSmpte), 1);
    EXPECT_EQ(block.Field(F::_saveRoi), 1);
    EXPECT_EQ(block.Field(F::_audioDpSelectIndex), 1);
    EXPECT_EQ(block.Field(F::_backColorY), 0);

    // The key the block saves under wins over the older one.
    s.setValue(QStringLiteral("_audioDpSelectIndexControl"), 0);
    block.LoadSettings(s);
    EXPECT_EQ(block.Field(F::_audioDpSelectIndex), 0);
}

} // namespace
