// The configuration blocks of the models that are not ROI scalers: register
// images, what each model owns of its block, settings, and the edge cases
// of each layout.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "arvel/cidrel.h"
#include "blocktesting.h"
#include "brindo/cbrindo.h"
#include "cadmer/ccadmer.h"
#include "convsim/personality.h"
#include "dovrin/cdovrin.h"
#include "estrow/cestrow.h"
#include "falcrin/cfalcrin.h"
#include "gesmor/cgesmor.h"
#include "gravo/cgravo.h"
#include "harvik/charvik.h"
#include "ilmaro/cilmaro.h"
#include "jastel/cjastel.h"
#include "kelvro/ckelvro.h"
#include "lomrik/clomrik.h"
#include "nolvar/cnolvar.h"
#include "registry.h"
#include "roiscaler/block/scalerblock.h"

namespace {

using namespace blocktesting;

struct Model {
    const char* name;
    int type;
    // The image of a fresh block; the image with every field that has a
    // default set to 1; the bits the model owns.
    Image fresh;
    Image ones;
    Image owned;
    // A read and write back keeps exactly the owned bits (no field codes
    // its value).
    bool exact;
    int keys;
};

std::unique_ptr<RegisterBlock> Make(int type)
{
    const ModelRow* row = ModelRegistry::Find(type);
    std::unique_ptr<CConfigBlockIF> block(row && row->makeBlock ? row->makeBlock(nullptr, 0, 0) : nullptr);
    std::unique_ptr<RegisterBlock> registers(dynamic_cast<RegisterBlock*>(block.get()));
    if (registers)
        block.release();
    return registers;
}

// n zero bytes with bytes from `at` on given as hex, and further bytes.
Image Bytes(std::size_t n, std::size_t at, const std::string& hex,
            std::initializer_list<std::pair<std::size_t, UByte>> more = {})
{
    Image image = ImageWith(n, more);
    const Image part = Hex(hex);
    std::copy(part.begin(), part.end(), image.begin() + long(at));
    return image;
}

const std::vector<Model>& Models()
{
    static const std::vector<Model> models = {
        {"Arvel", 1, Hex("00 00 00 00"), Hex("55 05 55 15"), Hex("7F 07 FF 3F"), true, 14},
        {"Brindo", 2, Hex("00 00 00 00"), Hex("04 55 15 11"), Hex("04 FF 3F FF"), true, 10},
        {"Cadmer", 3, Hex("00 00 00"), Hex("15 D5 55"), Hex("FF FF F7"), true, 12},
        {"Gravo", 4, Hex("03 00 11 A3 00"), Hex("09 15 09 31 09"), Hex("0F 3F 3F F3 1F"), true, 12},
        {"Dovrin", 6,
         Bytes(42, 16, "C2 33 C4 86 4C 1D B8 0B D0 84 80 3E 13 3D 42 40 E8 03 05 00 E8 03 90 01"),
         Bytes(42, 0, "A5 11 01 55 D6 00 00 51 01 00 00 00 00 02 01 00"
                      " 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00"),
         Bytes(42, 0, "FF 77 03 FF DE 00 00 F1 FF 00 00 00 00 0E 07 00"
                      " FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF"),
         true, 33},
        {"Estrow", 7, Bytes(15, 4, "40"), Bytes(15, 0, "A5 11 01 55 55 15 00 51 01"),
         Bytes(15, 0, "FF 77 03 FF 55 1F 00 F1 FF"), true, 22},
        {"Falcrin", 8, Hex("00 00 00 14"), Hex("00 00 00 08"), Hex("00 00 00 5E"), false, 3},
        {"Gesmor", 9, Bytes(15, 9, "04"), Bytes(15, 9, "08"), Bytes(15, 9, "2E"), false, 3},
        {"Harvik", 10, Image(13, 0), Bytes(13, 3, "BF 0D"), Bytes(13, 3, "FF 0F"), true, 10},
        {"Ilmaro", 11, Bytes(32, 7, "80", {{27, 0xE4}, {28, 0xE4}}),
         Bytes(32, 0, "A5 11 00 55 14 00 00 55 01", {{27, 0x55}, {28, 0x55}}),
         Bytes(32, 0, "FF 77 00 FF 1C 00 00 FD FF", {{27, 0xFF}, {28, 0xFF}}), true, 25},
        {"Jastel", 12, Bytes(32, 0, "00 02 00 00 20 00 00 80 00 00 E4 E4"),
         Bytes(32, 0, "A5 03 00 95 3D C5 C0 55 01 00 55 55"),
         Bytes(32, 0, "FF 03 00 B7 3F CF C0 FD FF 00 FF FF"), true, 32},
        {"Kelvro", 13, Bytes(13, 4, "03 01"), Bytes(13, 4, "53 13"), Bytes(13, 4, "F3 33"), true, 7},
        {"Lomrik", 15, Bytes(13, 4, "0F 01 FF"), Bytes(13, 4, "5F 03 00"), Bytes(13, 4, "FF 03 FF"), false, 12},
        {"Nolvar", 16, Image(15, 0), Bytes(15, 1, "01 00 56 3B 00 00 06"), Bytes(15, 1, "03 00 FE 3B 00 00 06"),
         true, 12},
    };
    return models;
}

void SetEveryDefaultedField(RegisterBlock& block, int value)
{
    for (std::size_t f = 0; f < block.FieldCount(); ++f) {
        const FieldDef& def = block.Layout().fields.data[f];
        if (def.hasDefault && def.type != FieldType::Text)
            block.SetField(int(f), value);
    }
}

TEST(ModelBlocks, EveryModelWithABlockHasOne)
{
    std::vector<int> types;
    for (const ModelRow& row : ModelRegistry::Rows())
        if (row.makeBlock && !roiscaler::FindRoiModel(row.moduleType))
            types.push_back(row.moduleType);
    std::vector<int> tested;
    for (const Model& m : Models())
        tested.push_back(m.type);
    EXPECT_EQ(types, tested);
}

TEST(ModelBlocks, Images)
{
    for (const Model& m : Models()) {
        SCOPED_TRACE(m.name);
        std::unique_ptr<RegisterBlock> block = Make(m.type);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(CheckLayout(block->Layout()), "");
        EXPECT_EQ(block->Layout().imageLength, m.fresh.size());
        EXPECT_FALSE(block->StreamsToFPGA());
        const Image& fresh = m.fresh;
        EXPECT_EQ(HexText(Packed(*block)), HexText(fresh));
        const int first = block->Layout().firstRegister;
        for (std::size_t i = 0; i < fresh.size(); ++i)
            EXPECT_EQ(block->PackRegister(first + int(i)), fresh[i]) << i;
        EXPECT_EQ(block->PackRegister(first - 1), 0);
        EXPECT_EQ(block->PackRegister(first + int(fresh.size())), 0);

        // The simulated converter starts with a fresh block's image.
        uint16_t start = 0;
        std::vector<uint8_t> memory;
        ASSERT_TRUE(convsim::DefaultConfigBlock(m.type, start, memory));
        EXPECT_EQ(start, first);
        EXPECT_EQ(HexText(memory), HexText(fresh));

        // Every field with a default set to 1, and read back.
        SetEveryDefaultedField(*block, 1);
        const Image& ones = m.ones;
        EXPECT_EQ(HexText(Packed(*block)), HexText(ones));
        std::unique_ptr<RegisterBlock> back = Make(m.type);
        back->Unpack(ones.data());
        for (std::size_t f = 0; f < back->FieldCount(); ++f) {
            const FieldDef& def = back->Layout().fields.data[f];
            if (!def.hasDefault || def.type == FieldType::Text)
                continue;
            // Falcrin's format 1 writes the pedestal pair, which reads back
            // as colour space 2.
            const bool falcrinSpace = m.type == 8 && f == std::size_t(FalcrinField::_inputColorSpace);
            EXPECT_EQ(back->Field(int(f)), falcrinSpace ? 2 : 1) << f;
        }
    }
}

TEST(ModelBlocksOnConverter, WritesBackTheBitsEachModelOwns)
{
    for (const Model& m : Models()) {
        SCOPED_TRACE(m.name);
        SimLink link(convsim::Personality::ForType(m.type));
        ASSERT_TRUE(link.Ready());
        std::unique_ptr<RegisterBlock> block = Make(m.type);
        ExpectWritesBackOwnedBits(*block, link, m.owned, 10, unsigned(m.type), m.exact);
    }
}

TEST(ModelBlocksOnConverter, AFailedReadChangesNothing)
{
    for (const Model& m : Models()) {
        SCOPED_TRACE(m.name);
        SimLink link(convsim::Personality::ForType(m.type));
        ASSERT_TRUE(link.Ready());
        std::unique_ptr<RegisterBlock> block = Make(m.type);
        IniFile ini;
        SetEveryDefaultedField(*block, 2);
        block->SaveSettings(ini.Settings());
        block->LoadSettings(ini.Settings()); // just loaded from settings
        const std::vector<int> before = Values(*block);

        convsim::Fault refuse;
        refuse.kind = convsim::Fault::Kind::ErrorStatus;
        refuse.code = 0x8C;
        link._sim.AddFault(refuse);
        EXPECT_EQ(block->ReadFromDevice(link._protocol), 0);
        EXPECT_EQ(Values(*block), before);

        // A block the converter lacks: the read and the write fail.
        std::unique_ptr<CConfigBlockIF> other(ModelRegistry::Find(m.type)->makeBlock(nullptr, 0, 4));
        link._sim.ClearFaults();
        EXPECT_EQ(other->ReadFromDevice(link._protocol), 0);
        EXPECT_NE(other->WriteToDevice(link._protocol), 0);
    }
}

TEST(ModelBlockSettings, RoundTripThroughAnIniFile)
{
    for (const Model& m : Models()) {
        SCOPED_TRACE(m.name);
        std::unique_ptr<RegisterBlock> saved = Make(m.type);
        for (std::size_t f = 0; f < saved->FieldCount(); ++f) {
            saved->SetField(int(f), 1 + int(f) % 3);
            saved->SetText(int(f), QStringLiteral("0.%1").arg(f, 5, 10, QLatin1Char('0')));
        }
        IniFile ini;
        EXPECT_TRUE(saved->SaveSettings(ini.Settings()));
        EXPECT_EQ(KeyCount(*saved), m.keys);
        const std::unique_ptr<QSettings> file = ini.Reopened();
        EXPECT_EQ(file->allKeys().size(), m.keys);

        std::unique_ptr<RegisterBlock> loaded = Make(m.type);
        const std::unique_ptr<RegisterBlock> fresh = Make(m.type);
        EXPECT_TRUE(loaded->LoadSettings(*file));
        for (std::size_t f = 0; f < saved->FieldCount(); ++f) {
            const FieldDef& def = saved->Layout().fields.data[f];
            const int i = int(f);
            if (def.key) {
                EXPECT_EQ(loaded->Field(i), saved->Field(i)) << def.key;
                EXPECT_EQ(loaded->Text(i), saved->Text(i)) << def.key;
            } else {
                EXPECT_EQ(loaded->Field(i), fresh->Field(i)) << "field " << f << " is reset";
            }
        }

        // Empty settings give the defaults, changes included.
        IniFile empty;
        EXPECT_TRUE(loaded->LoadSettings(empty.Settings()));
        EXPECT_EQ(Values(*loaded), Values(*fresh));
    }
}

// Files that hold a field only under the key older settings used.
TEST(ModelBlockSettings, OlderKeysLoad)
{
    const struct {
        int type;
        const char* olderKey;
        int field;
    } cases[] = {
        {7, "_input3G_BMode", EstrowField::_inputLinkMode},
        {7, "_outputVideoColorRange", EstrowField::_outputVideoRGBRange},
        {6, "_input3G_BMode", DovrinField::_inputLinkMode},
        {6, "_outputVideoColorRange", DovrinField::_outputVideoRGBRange},
        {11, "_input3G_BMode", IlmaroField::_inputLinkMode},
        {11, "_outputVideoColorRange", IlmaroField::_outputVideoRGBRange},
        {12, "_outputVideoColorRange", JastelField::_outputVideoRGBRange},
        {12, "_sdiOutputVideoColorRange", JastelField::_sdiOutputVideoRGBRange},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.olderKey);
        std::unique_ptr<RegisterBlock> block = Make(c.type);
        IniFile ini;
        ini.Settings().setValue(QString::fromLatin1(c.olderKey), 3);
        block->LoadSettings(ini.Settings());
        EXPECT_EQ(block->Field(c.field), 3);
        // The key the block saves under wins.
        ini.Settings().setValue(QString::fromLatin1(block->Layout().fields.data[c.field].key), 1);
        block->LoadSettings(ini.Settings());
        EXPECT_EQ(block->Field(c.field), 1);
    }
}

TEST(ModelBlockSettings, ValueConversions)
{
    IniFile ini;
    QSettings& s = ini.Settings();
    s.setValue(QStringLiteral("_outputAudioDelay"), 300); // kept to 8 bits
    s.setValue(QStringLiteral("_outputVideoDitherMode"), 7);
    s.setValue(QStringLiteral("_p2iEnable"), QStringLiteral("true")); // not an integer: false
    s.setValue(QStringLiteral("_edgeFiltering"), QStringLiteral("x"));
    CEstrow estrow(nullptr, 0, 0);
    estrow.LoadSettings(s);
    EXPECT_EQ(estrow.Field(EstrowField::_outputAudioDelay), 44);
    EXPECT_EQ(estrow.Field(EstrowField::_outputVideoDitherMode), 1);
    EXPECT_EQ(estrow.Field(EstrowField::_p2iEnable), 0);
    EXPECT_EQ(estrow.Field(EstrowField::_edgeFiltering), 0);

    // Gravo's pull-down flag takes Qt's boolean reading.
    s.setValue(QStringLiteral("_add32Pulldown"), QStringLiteral("true"));
    CGravo gravo(nullptr, 0, 0);
    gravo.LoadSettings(s);
    EXPECT_EQ(gravo.Field(GravoField::_add32Pulldown), 1);
    EXPECT_EQ(gravo.Field(GravoField::_lossOfInputMode), 0);

    // Dovrin's HDR switch is saved as a boolean and loads back; an integer
    // loads too. The luminance values are unsigned; the texts are text.
    CDovrin dovrin(nullptr, 0, 0);
    dovrin.SetField(DovrinField::_HdrEnabled, 1);
    dovrin.SetField(DovrinField::_maxCll, int(0xFFFFFFFFu));
    dovrin.SetText(DovrinField::_savedWhitePointX, QStringLiteral("0.31270"));
    IniFile hdr;
    dovrin.SaveSettings(hdr.Settings());
    const std::unique_ptr<QSettings> file = hdr.Reopened();
    EXPECT_EQ(file->value(QStringLiteral("_HdrEnabled")).toString(), QStringLiteral("true"));
    EXPECT_EQ(file->value(QStringLiteral("_maxCll")).toString(), QStringLiteral("4294967295"));
    EXPECT_EQ(file->value(QStringLiteral("_savedWhitePointX")).toString(), QStringLiteral("0.31270"));
    CDovrin loaded(nullptr, 0, 0);
    loaded.LoadSettings(*file);
    EXPECT_EQ(loaded.Field(DovrinField::_HdrEnabled), 1);
    EXPECT_EQ(static_cast<unsigned>(loaded.Field(DovrinField::_maxCll)), 0xFFFFFFFFu);
    EXPECT_EQ(loaded.Text(DovrinField::_savedWhitePointX), QStringLiteral("0.31270"));
    EXPECT_EQ(loaded.Text(DovrinField::_savedWhitePointY), QStringLiteral("0.32900"));
    file->setValue(QStringLiteral("_HdrEnabled"), 0);
    loaded.LoadSettings(*file);
    EXPECT_EQ(loaded.Field(DovrinField::_HdrEnabled), 0);
    file->setValue(QStringLiteral("_HdrEnabled"), 1);
    loaded.LoadSettings(*file);
    EXPECT_EQ(loaded.Field(DovrinField::_HdrEnabled), 1);
}

// A field's value packed, and what reads back.
struct FieldCase {
    const char* name;
    int type;
    std::vector<std::pair<int, int>> fields; // set on a fresh block
    std::vector<std::pair<std::size_t, UByte>> bytes; // image bytes that differ from the fresh image
    std::vector<std::pair<int, int>> readBack;        // fields after reading that image
};

TEST(ModelBlocks, FieldEdgeCases)
{
    using B = BrindoField;
    using C = CadmerField;
    using G = GesmorField;
    using D = DovrinField;
    using Fa = FalcrinField;
    using L = LomrikField;
    using I = IlmaroField;
    using J = JastelField;
    const FieldCase cases[] = {
        {"a value wider than its bits keeps its low bits", 2, {{B::_outputFrameRate, 17}}, {{3, 0x01}},
         {{B::_outputFrameRate, 1}}},
        {"a negative value writes its low bits", 2, {{B::_outputFormat, -1}, {B::_outputSDFormat, -2}}, {{3, 0xF0}},
         {{B::_outputFormat, 15}, {B::_outputSDFormat, 0}}},
        {"the synchroniser bit is set for exactly 1", 3, {{C::_lrSynchronizer, 3}}, {}, {{C::_lrSynchronizer, 0}}},
        {"the synchroniser set", 3, {{C::_lrSynchronizer, 1}}, {{1, 0x80}}, {{C::_lrSynchronizer, 1}}},
        {"the 3D mode in two places", 3, {{C::_hdmi3dMode, 13}}, {{0, 0xC1}}, {{C::_hdmi3dMode, 13}}},
        {"the centre cut off sets its bit", 1, {{IdrelField::_output2KCenterCutIsOn, 0}}, {{3, 0x20}},
         {{IdrelField::_output2KCenterCutIsOn, 0}}},
        {"Gesmor format 2", 9, {{G::_outputFormat, 2}}, {{9, 0x06}}, {{G::_outputFormat, 0}}},
        {"Gesmor colour space 3", 9, {{G::_outputColorSpace, 3}}, {{9, 0x00}}, {{G::_outputColorSpace, 1}}},
        {"Gesmor colour space 2", 9, {{G::_outputColorSpace, 2}}, {{9, 0x20}}, {{G::_outputColorSpace, 2}}},
        {"Gesmor pedestal 5", 9, {{G::_outputPedestal, 5}}, {{9, 0x0C}}, {{G::_outputPedestal, 1}}},
        {"Dovrin light level past 16 bits", 6, {{D::_maxCll, 70000}}, {{36, 0x70}, {37, 0x11}}, {{D::_maxCll, 4464}}},
        {"Dovrin colorimetry", 6, {{D::_colorimetry, 5}}, {{13, 0x0A}}, {{D::_colorimetry, 5}}},
        {"Dovrin EOTF and HDR", 6, {{D::_Eotf, 2}, {D::_HdrEnabled, 1}}, {{14, 0x02}, {4, 0x80}},
         {{D::_Eotf, 2}, {D::_HdrEnabled, 1}}},
        {"Falcrin format 0, colour space 1", 8, {{Fa::_inputFormat, 0}, {Fa::_inputColorSpace, 1}}, {{3, 0x02}},
         {{Fa::_inputFormat, 0}, {Fa::_inputColorSpace, 1}, {Fa::_inputPedestal, 0}}},
        {"Falcrin format 0, colour space 2, pedestal", 8,
         {{Fa::_inputFormat, 0}, {Fa::_inputColorSpace, 2}, {Fa::_inputPedestal, 1}}, {{3, 0x0A}},
         {{Fa::_inputFormat, 0}, {Fa::_inputColorSpace, 2}, {Fa::_inputPedestal, 1}}},
        {"Falcrin format 2 with pedestal", 8, {{Fa::_inputFormat, 2}, {Fa::_inputPedestal, 1}}, {{3, 0x4C}},
         {{Fa::_inputFormat, 2}, {Fa::_inputColorSpace, 0}, {Fa::_inputPedestal, 1}}},
        {"Falcrin another format, colour space 2", 8,
         {{Fa::_inputFormat, 5}, {Fa::_inputColorSpace, 2}, {Fa::_inputPedestal, 0}}, {{3, 0x00}},
         {{Fa::_inputFormat, 1}, {Fa::_inputColorSpace, 1}}},
        {"Falcrin another format, colour space 2, pedestal", 8,
         {{Fa::_inputFormat, 5}, {Fa::_inputColorSpace, 2}, {Fa::_inputPedestal, 1}}, {{3, 0x08}},
         {{Fa::_inputFormat, 1}, {Fa::_inputColorSpace, 2}, {Fa::_inputPedestal, 1}}},
        {"Lomrik source 2", 15, {{L::_srcCh12, 2}}, {{6, 0xEF}},
         {{L::_srcCh12, 2}, {L::_srcCh34, 0}, {L::_srcCh56, 0}, {L::_srcCh78, 0}}},
        {"Lomrik sources 1 and out of range", 15, {{L::_srcCh34, 1}, {L::_srcCh78, 9}}, {{6, 0x55}},
         {{L::_srcCh34, 1}, {L::_srcCh78, 1}}},
        {"Harvik channel pair 5", 10, {{HarvikField::_swChPair10, 5}}, {{3, 0x20}}, {{HarvikField::_swChPair10, 1}}},
        {"Ilmaro dither and 2K", 11, {{I::_outputVideoDitherMode, 1}, {I::_outputVideo2K, 3}}, {{4, 0x1C}},
         {{I::_outputVideoDitherMode, 1}, {I::_outputVideo2K, 3}}},
        {"Ilmaro dither keeps to its bit", 11, {{I::_outputVideoDitherMode, 0xF}}, {{4, 0x10}},
         {{I::_outputVideoDitherMode, 1}, {I::_outputVideo2K, 0}}},
        {"Jastel byte 5", 12, {{J::_enable3DLut, 1}, {J::_lut3dBankSelect, 1}, {J::_byte5Bits1to0, 3}, {J::_byte5Bits3to2, 2}},
         {{5, 0xCB}}, {{J::_enable3DLut, 1}, {J::_lut3dBankSelect, 1}, {J::_byte5Bits1to0, 3}, {J::_byte5Bits3to2, 2}}},
        {"Jastel delayed pairs", 12,
         {{J::_delayedAudIn1ChPair, 3}, {J::_delayedAudIn2ChPair, 2}, {J::_delayedAudIn3ChPair, 1}, {J::_delayedAudIn4ChPair, 0}},
         {{10, 0x1B}}, {{J::_delayedAudIn1ChPair, 3}, {J::_delayedAudIn2ChPair, 2}, {J::_delayedAudIn3ChPair, 1}, {J::_delayedAudIn4ChPair, 0}}},
        {"Ilmaro delayed pairs", 11,
         {{I::_delayedAudIn1ChPair, 3}, {I::_delayedAudIn2ChPair, 2}, {I::_delayedAudIn3ChPair, 1}, {I::_delayedAudIn4ChPair, 0}},
         {{27, 0x1B}}, {{I::_delayedAudIn1ChPair, 3}, {I::_delayedAudIn2ChPair, 2}, {I::_delayedAudIn3ChPair, 1}, {I::_delayedAudIn4ChPair, 0}}},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<RegisterBlock> block = Make(c.type);
        Image expected = Packed(*block);
        for (const auto& f : c.fields)
            block->SetField(f.first, f.second);
        for (const auto& b : c.bytes)
            expected[b.first] = b.second;
        EXPECT_EQ(HexText(Packed(*block)), HexText(expected));
        std::unique_ptr<RegisterBlock> back = Make(c.type);
        back->Unpack(expected.data());
        for (const auto& f : c.readBack)
            EXPECT_EQ(back->Field(f.first), f.second) << f.first;
    }
}

// Images read: the fields they give and what writing them back sends.
TEST(ModelBlocks, ImagesReadBack)
{
    // Idrel: byte 3 bit 5 clear reads as the centre cut on.
    CIdrel idrel(nullptr, 0, 0);
    idrel.SetField(IdrelField::_output2KCenterCutIsOn, 0);
    const Image idrelImage = Hex("00 00 00 DF");
    idrel.Unpack(idrelImage.data());
    EXPECT_EQ(idrel.Field(IdrelField::_output2KCenterCutIsOn), 1);
    EXPECT_EQ(idrel.Field(IdrelField::_output2xHDChannel), 1);

    // Gesmor: both colour space bits read as 0.
    CGesmor gesmor(nullptr, 0, 0);
    const Image gesmorImage = Bytes(15, 9, "24");
    gesmor.Unpack(gesmorImage.data());
    EXPECT_EQ(gesmor.Field(GesmorField::_outputColorSpace), 0);
    EXPECT_EQ(gesmor.Field(GesmorField::_outputFormat), 1);

    // Estrow: bytes 6 and 9 to 14 are always sent as 0.
    CEstrow estrow(nullptr, 0, 0);
    const Image full(15, 0xFF);
    estrow.Unpack(full.data());
    EXPECT_EQ(HexText(Packed(estrow)), HexText(Bytes(15, 0, "FF 77 03 FF 55 1F 00 F1 FF")));

    // Dovrin: the white point from the image; its text is left alone.
    CDovrin dovrin(nullptr, 0, 0);
    dovrin.SetText(DovrinField::_savedWhitePointX, QStringLiteral("0.30000"));
    Image dovrinImage(42, 0);
    dovrinImage[28] = 0x13;
    dovrinImage[29] = 0x3D;
    dovrinImage[13] = 0xFF;
    dovrinImage[15] = 0x5A; // the descriptor id: ignored, sent as 0
    dovrin.Unpack(dovrinImage.data());
    EXPECT_EQ(dovrin.Field(DovrinField::_whitePointX), 15635);
    EXPECT_EQ(dovrin.Field(DovrinField::_colorimetry), 7);
    EXPECT_EQ(dovrin.Field(DovrinField::_maxCll), 0);
    EXPECT_EQ(dovrin.Text(DovrinField::_savedWhitePointX), QStringLiteral("0.30000"));
    EXPECT_EQ(Packed(dovrin)[15], 0);
    EXPECT_EQ(Packed(dovrin)[13], 0x0E);
}

// Dovrin's settings reset the primaries, white point and register bit 1,
// which have no keys, and leave the texts as loaded.
TEST(ModelBlockSettings, DovrinLoadResetsTheUnkeyedFields)
{
    CDovrin dovrin(nullptr, 0, 0);
    const Image image(42, 0x21);
    dovrin.Unpack(image.data());
    EXPECT_EQ(dovrin.Field(DovrinField::_digitalPrimariesX0), 0x2121);
    EXPECT_EQ(dovrin.Field(DovrinField::_register7Bit1), 0);
    dovrin.SetField(DovrinField::_register7Bit1, 1);
    IniFile ini;
    ini.Settings().setValue(QStringLiteral("_savedDigitalPrimariesX0"), QStringLiteral("0.70800"));
    dovrin.LoadSettings(ini.Settings());
    EXPECT_EQ(dovrin.Field(DovrinField::_digitalPrimariesX0), 13250);
    EXPECT_EQ(dovrin.Field(DovrinField::_whitePointY), 16450);
    EXPECT_EQ(dovrin.Field(DovrinField::_register7Bit1), 0);
    EXPECT_EQ(dovrin.Field(DovrinField::_inputVideoColor), 0);
    EXPECT_EQ(dovrin.Text(DovrinField::_savedDigitalPrimariesX0), QStringLiteral("0.70800"));
    EXPECT_EQ(dovrin.Text(DovrinField::_savedDigitalPrimariesY2), QStringLiteral("0.32000"));
}

} // namespace
