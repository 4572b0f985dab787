// The field-map codec: where each field's bits sit in a register image,
// and which parameter a field is published as.
#include <gtest/gtest.h>

#include <vector>

#include "blocksupport/fieldcodec.h"

namespace {

enum Field { kWidth, kHeight, kFlag, kDelay, kMode, kUnplaced, kFieldCount };

// Byte 0: width bits 7..0; byte 1: [7:4] width 11..8, [3:0] height 11..8;
// byte 2: height 7..0; byte 3: [7] flag, [6:5] mode, [4] delay bit 9,
// [3:0] delay 11..10 and 8 spread as below; byte 4: delay 7..0.
constexpr FieldBits kBits[] = {
    {kWidth, 0, 0, 8, 0},  {kWidth, 1, 4, 4, 8},  {kHeight, 2, 0, 8, 0}, {kHeight, 1, 0, 4, 8},
    {kFlag, 3, 7, 1, 0},   {kMode, 3, 5, 2, 0},   {kDelay, 4, 0, 8, 0},  {kDelay, 3, 0, 1, 8},
    {kDelay, 3, 4, 1, 9},  {kDelay, 3, 1, 2, 10},
};
constexpr std::size_t kLength = 5;
constexpr FieldMap kMap{RowsOf(kBits)};

using Image = std::vector<UByte>;

Image Packed(const std::vector<int>& values)
{
    Image image(kLength, 0xEE);
    PackImage(kMap, values.data(), values.size(), image.data(), image.size());
    return image;
}

TEST(FieldCodec, PacksEachFieldIntoItsBits)
{
    const struct {
        const char* name;
        std::vector<int> values; // width, height, flag, delay, mode, unplaced
        Image image;
    } cases[] = {
        {"all zero", {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
        {"split 12-bit fields", {720, 486, 0, 0, 0, 0}, {0xD0, 0x21, 0xE6, 0, 0}},
        {"a value spread over four runs", {0, 0, 0, 0xFFF, 0, 0}, {0, 0, 0, 0x17, 0xFF}},
        {"delay bits one by one", {0, 0, 0, 0x100 | 0x200 | 0x400, 0, 0}, {0, 0, 0, 0x13, 0}},
        {"flag and mode share a byte", {0, 0, 1, 0, 3, 0}, {0, 0, 0, 0xE0, 0}},
        {"a value wider than its bits keeps to them", {0x1FFF, 0, 3, 0, 7, 0}, {0xFF, 0xF0, 0, 0xE0, 0}},
        {"a negative value gives its low bits", {-1, 0, 0, 0, -2, 0}, {0xFF, 0xF0, 0, 0x40, 0}},
        {"an unplaced field writes nothing", {0, 0, 0, 0, 0, 0x7FFFFFFF}, {0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Packed(c.values), c.image);
        for (std::size_t i = 0; i < kLength; ++i)
            EXPECT_EQ(PackByte(kMap, c.values.data(), c.values.size(), i), c.image[i]) << i;
    }
}

TEST(FieldCodec, UnpacksTheBitsPackingWrites)
{
    // Every bit set: each field takes its own bits only.
    std::vector<int> values(kFieldCount, 0);
    values[kUnplaced] = 42;
    const Image full(kLength, 0xFF);
    UnpackImage(kMap, full.data(), full.size(), values.data(), values.size());
    EXPECT_EQ(values, (std::vector<int>{0xFFF, 0xFFF, 1, 0xFFF, 3, 42}));

    // Bits no field owns are ignored; an image packs back to the bits the
    // fields own.
    const Image mixed = {0x12, 0x34, 0x56, 0x78, 0x9A};
    UnpackImage(kMap, mixed.data(), mixed.size(), values.data(), values.size());
    EXPECT_EQ(values, (std::vector<int>{0x312, 0x456, 0, 0x29A, 3, 42}));
    Image owned(kLength);
    for (std::size_t i = 0; i < kLength; ++i)
        owned[i] = PackByte(kMap, values.data(), values.size(), i);
    EXPECT_EQ(owned, (Image{0x12, 0x34, 0x56, 0x70, 0x9A}));
}

TEST(FieldCodec, ShortImagesAndBadRows)
{
    // Runs past the image read as 0 and are not written.
    std::vector<int> values = {1, 1, 1, 0xFFF, 1, 1};
    const Image two = {0xAB, 0xC0};
    UnpackImage(kMap, two.data(), two.size(), values.data(), values.size());
    EXPECT_EQ(values, (std::vector<int>{0xCAB, 0, 0, 0, 0, 1}));
    Image out(2, 0x55);
    PackImage(kMap, values.data(), values.size(), out.data(), out.size());
    EXPECT_EQ(out, (Image{0xAB, 0xC0}));

    // Rows naming fields the caller does not have are skipped.
    std::vector<int> three = {0x123, 0x456, 1};
    EXPECT_EQ(Packed(three), (Image{0x23, 0x14, 0x56, 0x80, 0}));

    EXPECT_EQ(CheckFieldMap(kMap, kFieldCount, kLength), "");
    const struct {
        const char* name;
        FieldBits row;
        const char* problem;
        bool packed; // the codec still packs what fits
    } bad[] = {
        {"unknown field", {kFieldCount, 0, 0, 8, 0}, "row 0: field 6 is not a field of the block", false},
        {"negative field", {-1, 0, 0, 8, 0}, "row 0: field -1 is not a field of the block", false},
        {"past the image", {kWidth, 5, 0, 8, 0}, "row 0: byte 5 is past the image", false},
        {"across a byte", {kWidth, 0, 4, 5, 0}, "row 0: bits do not fit one byte", false},
        {"no bits", {kWidth, 0, 0, 0, 0}, "row 0: bits do not fit one byte", false},
        {"past 32 value bits", {kWidth, 0, 0, 8, 30}, "row 0: value bits past 32", true},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.name);
        const FieldBits rows[] = {c.row};
        EXPECT_EQ(CheckFieldMap(FieldMap{RowsOf(rows)}, kFieldCount, kLength), c.problem);
        std::vector<int> v(kFieldCount, -1);
        Image image(kLength, 0xEE);
        PackImage(FieldMap{RowsOf(rows)}, v.data(), v.size(), image.data(), image.size());
        EXPECT_EQ(image == Image(kLength, 0), !c.packed);
    }
}

TEST(FieldCodec, CodesAndOneWayRuns)
{
    // Field 0: a code in bits 2 and 5 of byte 0 (value 0 sets bit 2, 2
    // sets bit 5, any other value neither; read back bit 2 first). Field 1:
    // writes bits 2..0 of byte 1 and reads the whole byte. Field 2: a flag
    // written inverted. Field 3: reads bits 7..4 of byte 1 only.
    constexpr FieldBits kRuns[] = {
        {0, 0, 2, 1, 0}, {0, 0, 5, 1, 1},
        {1, 1, 0, 3, 0, RunUse::Pack}, {1, 1, 0, 8, 0, RunUse::Unpack},
        {2, 0, 7, 1, 0},
        {3, 1, 4, 4, 0, RunUse::Unpack},
    };
    static constexpr int kSpaceOut[] = {1, 0, 2};
    static constexpr int kSpaceIn[] = {1, 0, 2, 0};
    static constexpr int kInverted[] = {1, 0};
    constexpr FieldCode kCodes[] = {
        {0, RowsOf(kSpaceOut), 0, RowsOf(kSpaceIn)},
        {2, RowsOf(kInverted), 1, RowsOf(kInverted)},
    };
    const FieldMap map{RowsOf(kRuns), RowsOf(kCodes)};
    EXPECT_EQ(CheckFieldMap(map, 4, 2), "");
    EXPECT_EQ(UnpackSpan(map), 2u);

    const struct {
        std::vector<int> values;
        Image image;
        std::vector<int> readBack;
    } cases[] = {
        {{0, 0, 0, 9}, {0x84, 0x00}, {0, 0, 0, 0}},
        {{1, 0xFF, 1, 9}, {0x00, 0x07}, {1, 7, 1, 0}},
        {{2, 0x08, 0, 9}, {0xA0, 0x00}, {2, 0, 0, 0}},
        {{3, 5, 7, 9}, {0x80, 0x05}, {1, 5, 0, 0}},
        {{-1, 0, -3, 9}, {0x80, 0x00}, {1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        Image image(2, 0xEE);
        PackImage(map, c.values.data(), c.values.size(), image.data(), image.size());
        EXPECT_EQ(image, c.image) << c.values[0];
        std::vector<int> values(4, 42);
        UnpackImage(map, image.data(), image.size(), values.data(), values.size());
        EXPECT_EQ(values, c.readBack) << c.values[0];
    }

    // Both code bits set reads as code 3: the first rule, bit 2, wins.
    const Image both = {0x24, 0xF3};
    std::vector<int> values(4, 0);
    UnpackImage(map, both.data(), both.size(), values.data(), values.size());
    EXPECT_EQ(values, (std::vector<int>{0, 0xF3, 1, 0xF}));

    const FieldCode kStray[] = {{7, NoRows<int>(), 0, NoRows<int>()}};
    EXPECT_EQ(CheckFieldMap(FieldMap{RowsOf(kRuns), RowsOf(kStray)}, 4, 2),
              "code 0: field 7 is not a field of the block");
}

} // namespace
