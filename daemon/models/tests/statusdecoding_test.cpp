// Status decoding of the Falcrin, Gesmor, Harvik, Kelvro, Lomrik and
// Nolvar blocks: the code tables, and status images too short to decode.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "blocktesting.h"
#include "falcrin/cfalcrin.h"
#include "gesmor/cgesmor.h"
#include "harvik/charvik.h"
#include "kelvro/ckelvro.h"
#include "lomrik/clomrik.h"
#include "nolvar/cnolvar.h"

namespace {

using namespace blocktesting;

struct Decoder {
    const char* name;
    std::function<StatusDecodingBlock*()> make;
    std::size_t length; // status bytes the decoding reads
};

const Decoder kDecoders[] = {
    {"Falcrin", [] { return new CFalcrin(nullptr, 0, 0); }, 8},
    {"Gesmor", [] { return new CGesmor(nullptr, 0, 0); }, 9},
    {"Harvik", [] { return new CHarvik(nullptr, 0, 0); }, 13},
    {"Kelvro", [] { return new CKelvro(nullptr, 0, 0); }, 17},
    {"Lomrik", [] { return new CLomrik(nullptr, 0, 0); }, 17},
    {"Nolvar", [] { return new CNolvar(nullptr, 0, 0); }, 111},
};

// Decodes status bytes given as {index, value}; every other byte is 0.
template <class Block>
std::unique_ptr<Block> Decoded(std::size_t length, std::initializer_list<std::pair<std::size_t, UByte>> bytes)
{
    std::unique_ptr<Block> block(new Block(nullptr, 0, 0));
    const Image status = ImageWith(length, bytes);
    EXPECT_TRUE(block->DecodeStatus(status.data(), status.size()));
    return block;
}

TEST(StatusDecoding, ShortImagesAreRefused)
{
    for (const Decoder& d : kDecoders) {
        SCOPED_TRACE(d.name);
        std::unique_ptr<StatusDecodingBlock> block(d.make());
        EXPECT_EQ(block->StatusLength(), d.length);
        for (std::size_t f = 0; f < block->FieldCount(); ++f)
            block->SetField(int(f), 1);
        const std::vector<int> before = Values(*block);

        EXPECT_FALSE(block->DecodeStatus(nullptr, 200));
        // Heap arrays of the exact size, so that a read past them is caught.
        std::unique_ptr<UByte[]> shortImage(new UByte[d.length - 1]);
        std::fill_n(shortImage.get(), d.length - 1, UByte(0xFF));
        EXPECT_FALSE(block->DecodeStatus(shortImage.get(), d.length - 1));
        EXPECT_FALSE(block->DecodeStatus(shortImage.get(), 0));
        EXPECT_EQ(Values(*block), before);

        std::unique_ptr<UByte[]> exact(new UByte[d.length]);
        std::fill_n(exact.get(), d.length, UByte(0));
        EXPECT_TRUE(block->DecodeStatus(exact.get(), d.length));
        // The settings are not status: they keep their values.
        for (std::size_t f = 0; f < block->FieldCount(); ++f) {
            if (block->Layout().fields.data[f].key) {
                EXPECT_EQ(block->Field(int(f)), 1) << f;
            }
        }
        // The 64-byte status image of the device wrapper is enough for all
        // but Nolvar.
        const Image image(64, 0);
        EXPECT_EQ(block->DecodeStatus(image.data(), image.size()), d.length <= 64);
    }
}

TEST(StatusDecoding, FalcrinByte7Codes)
{
    const int expected[32] = {7,  6,  4,  1,  8,  0,  5,  2,  25, 14, 15, 12, 19, 23, 17, 21,
                              9,  11, 0,  0,  10, 11, 0,  0,  24, 13, 0,  0,  18, 22, 16, 20};
    for (int code = 0; code < 32; ++code) {
        for (UByte high : {0x00, 0x20, 0x40, 0xE0}) {
            auto block = Decoded<CFalcrin>(8, {{7, UByte(high | code)}});
            EXPECT_EQ(block->Field(FalcrinField::_status7Bits4to0), expected[code]) << code;
            EXPECT_EQ(block->Field(FalcrinField::_status7Bit5), (high & 0x20) ? 0 : 1) << code;
            EXPECT_EQ(block->Field(FalcrinField::_status7Bit6), (high & 0x40) ? 1 : 0) << code;
        }
    }
    EXPECT_EQ(Decoded<CFalcrin>(8, {{7, 0x11}})->Field(FalcrinField::_status7Bits4to0), 11);
    EXPECT_EQ(Decoded<CFalcrin>(8, {{7, 0x15}})->Field(FalcrinField::_status7Bits4to0), 11);
    EXPECT_EQ(Decoded<CFalcrin>(8, {{7, 0x05}})->Field(FalcrinField::_status7Bits4to0), 0);
}

TEST(StatusDecoding, FalcrinOtherBytes)
{
    using F = FalcrinField;
    auto block = Decoded<CFalcrin>(8, {{3, 0xA9}, {4, 0x5A}, {5, 0xFA}});
    EXPECT_EQ(block->Field(F::_status3Bit7), 1);
    EXPECT_EQ(block->Field(F::_status3Bits6to4), 2);
    EXPECT_EQ(block->Field(F::_status3Bits3to0), 0); // 9 is no low code
    EXPECT_EQ(block->Field(F::_status4Byte), 0x5A);
    EXPECT_EQ(block->Field(F::_status5Bit3), 1);
    EXPECT_EQ(block->Field(F::_status5Bit2), 0);
    EXPECT_EQ(block->Field(F::_status5Bit1), 1);
    EXPECT_EQ(block->Field(F::_status5Bit0), 0);
    for (int nibble = 0; nibble < 16; ++nibble) {
        const int low = nibble >= 1 && nibble <= 8 ? nibble : 0;
        EXPECT_EQ(Decoded<CFalcrin>(8, {{3, UByte(0x70 | nibble)}})->Field(F::_status3Bits3to0), low) << nibble;
    }
}

TEST(StatusDecoding, GesmorCodes)
{
    using F = GesmorField;
    const int byte8[29] = {4, 5, 6, 7, 8, 0, 10, 11, 0, 18, 20, 12, 19, 21, 15, 23, 27, 25, 13, 17, 16, 14, 1, 2, 9, 3, 22, 24, 26};
    std::vector<int> seen;
    for (int value = 0; value < 256; ++value) {
        const int code = Decoded<CGesmor>(9, {{8, UByte(value)}})->Field(F::_status8Code);
        EXPECT_EQ(code, value < 29 ? byte8[value] : 0) << value;
        if (code != 0)
            seen.push_back(code);
    }
    std::sort(seen.begin(), seen.end());
    std::vector<int> each(27);
    for (int i = 0; i < 27; ++i)
        each[std::size_t(i)] = i + 1;
    EXPECT_EQ(seen, each) << "each of 1 to 27 once";

    auto block = Decoded<CGesmor>(9, {{3, 0x80}});
    EXPECT_EQ(block->Field(F::_status3Bit7), 1);
    EXPECT_EQ(block->Field(F::_status3Bits6to4), 0);
    EXPECT_EQ(block->Field(F::_status3Bits3to0), 0);

    const int nextOfFour[4] = {1, 2, 3, 0};
    const int plusOne[4] = {1, 2, 3, 4};
    for (int v = 0; v < 4; ++v) {
        auto b = Decoded<CGesmor>(9, {{4, UByte(0x0C | v)}, {7, UByte(v << 6 | v << 2 | v)}, {5, UByte(v << 4)}});
        EXPECT_EQ(b->Field(F::_status4Bits1to0), nextOfFour[v]);
        EXPECT_EQ(b->Field(F::_status4Bit3), 1);
        EXPECT_EQ(b->Field(F::_status4Bit2), 1);
        EXPECT_EQ(b->Field(F::_status7Bits7to6), nextOfFour[v]);
        EXPECT_EQ(b->Field(F::_status7Bits3to2), nextOfFour[v]);
        EXPECT_EQ(b->Field(F::_status7Bits1to0), plusOne[v]);
        EXPECT_EQ(b->Field(F::_status5Bits5to4), plusOne[v]);
    }
    auto bits = Decoded<CGesmor>(9, {{7, 0x20}, {5, 0x0B}, {6, 0xD8}});
    EXPECT_EQ(bits->Field(F::_status7Bit5), 2);
    EXPECT_EQ(bits->Field(F::_status7Bit4), 1);
    EXPECT_EQ(bits->Field(F::_status5Bit3), 1);
    EXPECT_EQ(bits->Field(F::_status5Bit2), 0);
    EXPECT_EQ(bits->Field(F::_status5Bit1), 1);
    EXPECT_EQ(bits->Field(F::_status5Bit0), 1);
    EXPECT_EQ(bits->Field(F::_status6Bit7), 1);
    EXPECT_EQ(bits->Field(F::_status6Bits6to4), 5);
    EXPECT_EQ(bits->Field(F::_status6Bits3to0), 8);
}

TEST(StatusDecoding, Harvik)
{
    using F = HarvikField;
    auto block = Decoded<CHarvik>(13, {{9, 0xF4}, {8, 0x9C}, {5, 0x0E}, {12, 0x39}, {4, 0x42}});
    EXPECT_EQ(block->Field(F::_status9Bit7), 1);
    EXPECT_EQ(block->Field(F::_status9Bits6to4), 7);
    EXPECT_EQ(block->Field(F::_status9Bits3to0), 4);
    EXPECT_EQ(block->Field(F::_status8Byte), 0x9C);
    EXPECT_EQ(block->Field(F::_status5Bit1), 1);
    EXPECT_EQ(block->Field(F::_status5Bits3to2), 3);
    EXPECT_EQ(block->Field(F::_status12Bit7), 0);
    EXPECT_EQ(block->Field(F::_status12Bits6to4), 3);
    EXPECT_EQ(block->Field(F::_status12Bits3to0), 0);
    EXPECT_EQ(block->Field(F::_status4Byte), 0x42);
}

TEST(StatusDecoding, KelvroAndLomrikDecodeAlike)
{
    using F = EmbedderStatusField;
    auto block = Decoded<CKelvro>(17, {{3, 0x98}, {4, 0x77}, {5, 0x18}, {6, 0x07}, {11, 0xA5}, {12, 0x3C},
                                       {13, 0x50}, {14, 0x8C}, {15, 0xE1}, {16, 0x20}});
    EXPECT_EQ(block->Field(F::_status3Bit7), 1);
    EXPECT_EQ(block->Field(F::_status3Bits6to4), 1);
    EXPECT_EQ(block->Field(F::_status3Bits3to0), 8);
    EXPECT_EQ(block->Field(F::_status4Byte), 0x77);
    EXPECT_EQ(block->Field(F::_status5Bit4), 1);
    EXPECT_EQ(block->Field(F::_status5Bit3), 1);
    EXPECT_EQ(block->Field(F::_status11Bits7to4), 0xA);
    EXPECT_EQ(block->Field(F::_status11Bits3to0), 0x5);
    EXPECT_EQ(block->Field(F::_status12Bits7to4), 0x3);
    EXPECT_EQ(block->Field(F::_status12Bits3to0), 0xC);
    EXPECT_EQ(block->Field(F::_status13Bit7), 0);
    EXPECT_EQ(block->Field(F::_status13Bits6to4), 5);
    EXPECT_EQ(block->Field(F::_status13Bits3to0), 0);
    EXPECT_EQ(block->Field(F::_status6Bits1to0), 3);
    EXPECT_EQ(block->Field(F::_status14Bit3), 1);
    EXPECT_EQ(block->Field(F::_status14Bit2), 1);
    EXPECT_EQ(block->Field(F::_status14Bit7), 1);
    EXPECT_EQ(block->Field(F::_status15Bit7), 1);
    EXPECT_EQ(block->Field(F::_status16Bit5), 1);
    EXPECT_EQ(block->Field(F::_status15Bits6to4), 6);
    EXPECT_EQ(block->Field(F::_status15Bits3to0), 1);

    std::mt19937 random(13);
    for (int round = 0; round < 20; ++round) {
        Image status(17);
        for (UByte& b : status)
            b = UByte(random());
        CKelvro kelvro(nullptr, 0, 0);
        CLomrik lomrik(nullptr, 0, 0);
        ASSERT_TRUE(kelvro.DecodeStatus(status.data(), status.size()));
        ASSERT_TRUE(lomrik.DecodeStatus(status.data(), status.size()));
        for (int f = 0; f < F::kCount; ++f)
            EXPECT_EQ(kelvro.Field(f), lomrik.Field(f)) << f;
    }
}

TEST(StatusDecoding, NolvarGroupsAndWords)
{
    using F = NolvarField;
    const struct {
        UByte byte16, byte17;
        int group;
    } groups[] = {
        {0x80, 0x00, 1}, {0x80, 0x01, 1}, {0x80, 0x02, 2}, {0x80, 0x03, 2}, {0x80, 0x04, 3},
        {0x80, 0x05, 0}, {0x80, 0xFF, 0}, {0x80, 0xF4, 3}, {0x7F, 0x04, 0}, {0x00, 0x01, 0},
    };
    for (const auto& g : groups) {
        auto block = Decoded<CNolvar>(111, {{16, g.byte16}, {17, g.byte17}});
        EXPECT_EQ(block->Field(F::_status17Group), g.group) << int(g.byte16) << " " << int(g.byte17);
        EXPECT_EQ(block->Field(F::_status17Bits3to0), g.byte17 & 0x0F);
        EXPECT_EQ(block->Field(F::_status16Bit7), g.byte16 >> 7);
    }

    // Word i from bytes n and n + 1, low byte first, n in this order.
    const std::size_t wordAt[12] = {83, 87, 91, 85, 89, 93, 95, 97, 99, 101, 103, 105};
    Image status(111, 0);
    for (std::size_t n = 83; n <= 106; ++n)
        status[n] = UByte(n);
    status[16] = 0x37;
    status[17] = 0xD9;
    status[18] = 0x6D;
    status[19] = 0x0E;
    status[20] = 0xB6;
    status[21] = 0x9C;
    status[22] = 0x57;
    status[23] = 0x2B;
    status[81] = 0xFE;
    status[109] = 0x80;
    status[110] = 0xFF;
    CNolvar block(nullptr, 0, 0);
    ASSERT_TRUE(block.DecodeStatus(status.data(), status.size()));
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(block.Field(F::_statusWords + i), int(wordAt[i] | (wordAt[i] + 1) << 8)) << i;
    EXPECT_EQ(block.Field(F::_status16Bit7), 0);
    EXPECT_EQ(block.Field(F::_status16Bit5), 1);
    EXPECT_EQ(block.Field(F::_status16Bit4), 1);
    EXPECT_EQ(block.Field(F::_status16Bits3to0), 7);
    EXPECT_EQ(block.Field(F::_status17Bits7to6), 3);
    EXPECT_EQ(block.Field(F::_status17Bits5to4), 1);
    EXPECT_EQ(block.Field(F::_status17Group), 0);
    EXPECT_EQ(block.Field(F::_status18Bits5to3), 5);
    EXPECT_EQ(block.Field(F::_status18Bits2to0), 5);
    EXPECT_EQ(block.Field(F::_status18Bit6), 1);
    EXPECT_EQ(block.Field(F::_status19Bits1to0), 2);
    EXPECT_EQ(block.Field(F::_status19Bits3to2), 3);
    EXPECT_EQ(block.Field(F::_status20Bit7), 1);
    EXPECT_EQ(block.Field(F::_status20Bit6), 0);
    EXPECT_EQ(block.Field(F::_status20Bit5), 1);
    EXPECT_EQ(block.Field(F::_status20Bit4), 1);
    EXPECT_EQ(block.Field(F::_status20Bit3), 0);
    EXPECT_EQ(block.Field(F::_status20Bit2), 1);
    EXPECT_EQ(block.Field(F::_status20Bits1to0), 2);
    EXPECT_EQ(block.Field(F::_status21Bits7to6), 2);
    EXPECT_EQ(block.Field(F::_status21Bits5to4), 1);
    EXPECT_EQ(block.Field(F::_status21Bits3to0), 0xC);
    EXPECT_EQ(block.Field(F::_status22Bit6), 1);
    EXPECT_EQ(block.Field(F::_status22Bit4), 1);
    EXPECT_EQ(block.Field(F::_status22Bits3to0), 7);
    EXPECT_EQ(block.Field(F::_status23Bits5to3), 5);
    EXPECT_EQ(block.Field(F::_status23Bits2to0), 3);
    EXPECT_EQ(block.Field(F::_status81Bits2to0), 6);
    EXPECT_EQ(block.Field(F::_status109Bit7), 1);
    EXPECT_EQ(block.Field(F::_status110Bits4to0), 31);
}

} // namespace
