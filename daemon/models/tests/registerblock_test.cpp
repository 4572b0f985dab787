// The register block base: defaults, settings, and the image read from and
// written to a simulated converter's configuration memory.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include <vector>

#include "blocksupport/registerblock.h"
#include "convsim/personality.h"
#include "linkrig.h"

namespace {

using tovik::test::SimLink;

enum Field { kInPixels, kRoiCtrl, kSmpte, kLinkMode, kPulldown, kUnsaved, kFieldCount };

// A block over the scalers' 41-byte configuration memory (registers 3 to 43).
constexpr FieldDef kFields[] = {
    Setting("_inputActivePixels", 720, FieldType::Word),
    Setting("_roiCtrl", 0x57, FieldType::Byte),
    Setting("_isSmpte", 0, FieldType::Bool),
    Setting("_inputLinkMode", 0, FieldType::Int, "_input3G_BMode"),
    BoolSetting("_add32Pulldown", false),
    StatusField(FieldType::Byte), // neither saved nor reset
};
constexpr FieldBits kBits[] = {
    {kInPixels, 0, 0, 8, 0}, {kInPixels, 1, 4, 4, 8}, // registers 3 and 4
    {kRoiCtrl, 12, 0, 8, 0},                          // register 15
    {kSmpte, 20, 6, 1, 0},                            // register 23 bit 6
    {kLinkMode, 22, 0, 3, 0},                         // register 25 bits 2..0
    {kPulldown, 36, 0, 1, 0},                         // register 39 bit 0
    {kUnsaved, 40, 0, 8, 0},                           // register 43
};
constexpr BlockLayout kLayout = MakeLayout(41, 3, kFields, kBits);

std::vector<int> Fields(const RegisterBlock& block)
{
    std::vector<int> values;
    for (int f = 0; f < kFieldCount; ++f)
        values.push_back(block.Field(f));
    return values;
}

TEST(RegisterBlock, StartsAtItsDefaults)
{
    EXPECT_EQ(CheckLayout(kLayout), "");
    RegisterBlock block(nullptr, 0, 0, kLayout);
    EXPECT_EQ(Fields(block), (std::vector<int>{720, 0x57, 0, 0, 0, 0}));
    EXPECT_EQ(block.FPGAID(), 0);
    EXPECT_EQ(block.BlockID(), 0);

    // Registers are numbered from the layout's first register.
    EXPECT_EQ(block.PackRegister(3), 0xD0);
    EXPECT_EQ(block.PackRegister(4), 0x20);
    EXPECT_EQ(block.PackRegister(15), 0x57);
    EXPECT_EQ(block.PackRegister(5), 0);
    EXPECT_EQ(block.PackRegister(2), 0);
    EXPECT_EQ(block.PackRegister(44), 0);

    // Reset restores defaults and leaves fields without one alone.
    block.SetField(kInPixels, 1920);
    block.SetField(kUnsaved, 9);
    block.SetField(kFieldCount, 5); // no such field: nothing happens
    block.Reset();
    EXPECT_EQ(Fields(block), (std::vector<int>{720, 0x57, 0, 0, 0, 9}));
    EXPECT_EQ(block.Field(kFieldCount), 0);
    EXPECT_EQ(block.Field(-1), 0);
}

class RegisterBlockSettings : public ::testing::Test {
protected:
    QTemporaryDir _dir;
    QSettings _settings{_dir.filePath(QStringLiteral("block.ini")), QSettings::IniFormat};
};

TEST_F(RegisterBlockSettings, RoundTripSavesEveryKeyedField)
{
    RegisterBlock saved(nullptr, 0, 0, kLayout);
    const std::vector<int> values = {1280, 0x13, 1, 5, 1, 77};
    for (int f = 0; f < kFieldCount; ++f)
        saved.SetField(f, values[size_t(f)]);
    EXPECT_TRUE(saved.SaveSettings(_settings));
    EXPECT_EQ(_settings.allKeys().size(), 5);
    EXPECT_EQ(_settings.value("_inputLinkMode").toInt(), 5);
    EXPECT_FALSE(_settings.contains("_input3G_BMode"));

    RegisterBlock loaded(nullptr, 0, 0, kLayout);
    EXPECT_TRUE(loaded.LoadSettings(_settings));
    // The unsaved field keeps its value.
    EXPECT_EQ(Fields(loaded), (std::vector<int>{1280, 0x13, 1, 5, 1, 0}));
}

TEST_F(RegisterBlockSettings, LoadConvertsAndFallsBack)
{
    RegisterBlock block(nullptr, 0, 0, kLayout);
    block.SetField(kInPixels, 1);
    block.SetField(kRoiCtrl, 2);
    EXPECT_TRUE(block.LoadSettings(_settings));
    EXPECT_EQ(Fields(block), (std::vector<int>{720, 0x57, 0, 0, 0, 0})) << "empty settings give the defaults";

    _settings.setValue("_inputActivePixels", 0x12345);
    _settings.setValue("_roiCtrl", 0x1FF);
    _settings.setValue("_isSmpte", 5);
    _settings.setValue("_input3G_BMode", 3);
    _settings.setValue("_add32Pulldown", "true");
    block.LoadSettings(_settings);
    EXPECT_EQ(Fields(block), (std::vector<int>{0x2345, 0xFF, 1, 3, 1, 0}));

    // The key the block saves under wins over the older one.
    _settings.setValue("_inputLinkMode", 6);
    _settings.setValue("_add32Pulldown", "false");
    _settings.setValue("_isSmpte", 0);
    block.LoadSettings(_settings);
    EXPECT_EQ(block.Field(kLinkMode), 6);
    EXPECT_EQ(block.Field(kPulldown), 0);
    EXPECT_EQ(block.Field(kSmpte), 0);
}

// One field of each type, with no bits: narrowing and settings forms.
constexpr FieldDef kTyped[] = {
    Setting("int", -5),
    UIntSetting("uint", 0xFFFFFFFFu),
    Setting("byte", 0x1FF, FieldType::Byte),
    Setting("word", 0x1FFFF, FieldType::Word),
    Setting("flag", 7, FieldType::Bool),
    BoolSetting("bool", true, FieldSave::Bool),
    TextSetting("text", "0.50000"),
    Unsaved(3, FieldType::Byte),
};
constexpr FieldBits kNoBits[] = {{7, 0, 0, 8}};
constexpr BlockLayout kTypedLayout = MakeLayout(1, 0, kTyped, kNoBits);

TEST(RegisterBlock, FieldsNarrowToTheirTypes)
{
    RegisterBlock block(nullptr, 0, 0, kTypedLayout);
    const std::vector<int> defaults = {-5, -1, 0xFF, 0xFFFF, 1, 1, 0, 3};
    for (int f = 0; f < 8; ++f)
        EXPECT_EQ(block.Field(f), defaults[size_t(f)]) << f;
    EXPECT_EQ(block.Text(6), QStringLiteral("0.50000"));

    const struct {
        int field;
        int value;
        int kept;
    } cases[] = {
        {0, -70000, -70000}, {1, int(0x80000001u), int(0x80000001u)}, {2, 0x1234, 0x34}, {2, -1, 0xFF},
        {3, 0x12345, 0x2345}, {3, -2, 0xFFFE}, {4, 2, 1}, {4, -1, 1}, {4, 0, 0}, {6, 9, 0},
    };
    for (const auto& c : cases) {
        block.SetField(c.field, c.value);
        EXPECT_EQ(block.Field(c.field), c.kept) << c.field << " " << c.value;
    }
    block.SetText(6, QStringLiteral("x"));
    block.SetText(2, QStringLiteral("y")); // not a text field
    block.SetText(99, QStringLiteral("z"));
    EXPECT_EQ(block.Text(6), QStringLiteral("x"));
    EXPECT_EQ(block.Text(2), QString());
    EXPECT_EQ(block.Text(99), QString());
    EXPECT_FALSE(block.Flag(4));
}

TEST_F(RegisterBlockSettings, ValuesAreSavedInTheFieldsForm)
{
    RegisterBlock block(nullptr, 0, 0, kTypedLayout);
    block.SetField(0, -7);
    block.SetField(5, 0);
    block.SetField(7, 9); // no key
    EXPECT_TRUE(block.SaveSettings(_settings));
    _settings.sync();
    QSettings file(_settings.fileName(), QSettings::IniFormat);
    EXPECT_EQ(file.allKeys().size(), 7);
    EXPECT_EQ(file.value("int").toString(), QStringLiteral("-7"));
    EXPECT_EQ(file.value("uint").toString(), QStringLiteral("4294967295"));
    EXPECT_EQ(file.value("byte").toString(), QStringLiteral("255"));
    EXPECT_EQ(file.value("flag").toString(), QStringLiteral("1"));
    EXPECT_EQ(file.value("bool").toString(), QStringLiteral("false"));
    EXPECT_EQ(file.value("text").toString(), QStringLiteral("0.50000"));

    RegisterBlock loaded(nullptr, 0, 0, kTypedLayout);
    loaded.SetField(5, 1);
    loaded.SetField(7, 4);
    EXPECT_TRUE(loaded.LoadSettings(file));
    EXPECT_EQ(loaded.Field(0), -7);
    EXPECT_EQ(loaded.Field(1), -1);
    EXPECT_EQ(loaded.Field(5), 0);
    EXPECT_EQ(loaded.Field(7), 3) << "reset, not loaded";
    EXPECT_EQ(loaded.Text(6), QStringLiteral("0.50000"));
}

TEST(RegisterBlockOnConverter, ReadsAndWritesTheWholeImage)
{
    convsim::Personality personality = convsim::Personality::ForType(5);
    std::vector<uint8_t>& memory = personality.fpgas.at(0).blocks.at(0).memory;
    for (size_t i = 0; i < memory.size(); ++i)
        memory[i] = uint8_t(0xA0 + i);
    SimLink link(personality);
    ASSERT_TRUE(link.Ready());

    RegisterBlock block(nullptr, 0, 0, kLayout);
    ASSERT_EQ(block.ReadFromDevice(link._protocol), 41);
    // Registers 3/4 = A0/A1, 15 = AC, 23 = B4 (bit 6 clear), 25 = B6, 39 = C4, 43 = C8.
    EXPECT_EQ(Fields(block), (std::vector<int>{0xAA0, 0xAC, 0, 6, 0, 0xC8}));

    block.SetField(kInPixels, 1920);
    block.SetField(kSmpte, 1);
    block.SetField(kLinkMode, 0xF);
    EXPECT_EQ(block.WriteToDevice(link._protocol), 0);
    std::vector<uint8_t> expected(41, 0);
    expected[0] = 0x80;  // 1920 = 0x780
    expected[1] = 0x70;
    expected[12] = 0xAC;
    expected[20] = 0x40;
    expected[22] = 0x07; // cut to its three bits
    expected[40] = 0xC8;
    EXPECT_EQ(link._sim.ConfigMemory(0, 0), expected);
}

TEST(RegisterBlockOnConverter, FailedReadChangesNothing)
{
    SimLink link(convsim::Personality::ForType(5));
    ASSERT_TRUE(link.Ready());
    RegisterBlock block(nullptr, 0, 3, kLayout); // a block the converter lacks
    block.SetField(kUnsaved, 7);
    EXPECT_EQ(block.ReadFromDevice(link._protocol), 0);
    EXPECT_EQ(Fields(block), (std::vector<int>{720, 0x57, 0, 0, 0, 7}));
    EXPECT_NE(block.WriteToDevice(link._protocol), 0);
}

TEST(RegisterBlockLayout, Checks)
{
    constexpr FieldBits kPast[] = {{0, 41, 0, 8, 0}};
    const struct {
        const char* name;
        BlockLayout layout;
        const char* problem;
    } cases[] = {
        {"no image", MakeLayout(0, 3, kFields, kBits), "image of 0 bytes"},
        {"image too long", MakeLayout(65, 3, kFields, kBits), "image of 65 bytes"},
        {"bits past the image", MakeLayout(41, 3, kFields, kPast), "row 0: byte 41 is past the image"},
        {"bits of a field the block lacks", {41, 3, NoRows<FieldDef>(), FieldMap{RowsOf(kBits)}},
         "row 0: field 0 is not a field of the block"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckLayout(c.layout), c.problem) << c.name;
}

} // namespace
