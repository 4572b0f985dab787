// The status image readers: frame rates, input formats, the input and
// reference texts.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "roiscaler/values/statusimage.h"

using namespace roiscaler;

namespace {

struct Image {
    UByte bytes[kStatusImageBytes] = {};
    void Count(int first, quint32 count)
    {
        bytes[first] = UByte(count);
        bytes[first + 1] = UByte(count >> 8);
        bytes[first + 2] = UByte(count >> 16);
    }
};

TEST(FrameRate, HundredthsOfAFramePerSecondSaturating)
{
    const struct {
        quint32 count;
        int hz;
    } cases[] = {
        {450450, 5994}, {540000, 5000}, {1126125, 2397}, {450001, 5999}, {450000, 6000},
        {2, 1350000000}, {1, INT_MAX},  {0, INT_MAX},    {0xFFFFFF, 160},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FrameRateHz(c.count), c.hz) << c.count;
}

TEST(InputFormats, SetAndMeasuredFromTheirBytes)
{
    Image img;
    img.bytes[27] = 0xF7; // only the low nibble is the width's
    img.bytes[28] = 0x80;
    img.bytes[32] = 0x38;
    img.bytes[33] = 0x4F; // only the high nibble is the height's
    img.Count(36, 450450);
    img.bytes[45] = 0x05;
    img.bytes[46] = 0x00;
    img.bytes[50] = 0xD0;
    img.bytes[51] = 0x2A;
    img.Count(54, 540000);
    const InputFormat set = SetInputFormat(img.bytes);
    EXPECT_EQ(set.width, 1920);
    EXPECT_EQ(set.height, 1080);
    EXPECT_EQ(set.hz, 5994);
    const InputFormat measured = MeasuredInputFormat(img.bytes);
    EXPECT_EQ(measured.width, 1280);
    EXPECT_EQ(measured.height, 720);
    EXPECT_EQ(measured.hz, 5000);
    EXPECT_NE(set, measured);

    // Rasters past 2047: every bit of the 12-bit width and height counts.
    Image uhd;
    uhd.bytes[27] = 0x0F;
    uhd.bytes[28] = 0x00;
    uhd.bytes[32] = 0x70;
    uhd.bytes[33] = 0x8F;
    uhd.bytes[45] = 0x0F;
    uhd.bytes[46] = 0x00;
    uhd.bytes[50] = 0x70;
    uhd.bytes[51] = 0x8F;
    EXPECT_EQ(SetInputFormat(uhd.bytes).width, 3840);
    EXPECT_EQ(SetInputFormat(uhd.bytes).height, 2160);
    EXPECT_EQ(MeasuredInputFormat(uhd.bytes).width, 3840);
    EXPECT_EQ(MeasuredInputFormat(uhd.bytes).height, 2160);
}

TEST(InputProtocolText, WordAndRate)
{
    const struct {
        quint32 count;
        bool dvi;
        InputWord word;
        const char* text;
    } cases[] = {
        {450450, false, InputWord::Dp, "DP 59.94Hz"},
        {540000, false, InputWord::Dp, "DP 50Hz"},
        {1126125, false, InputWord::Dp, "DP 23.98Hz"},
        {450001, false, InputWord::Dp, "DP 60.00Hz"},
        // DVI signalling: always the nearest whole rate.
        {450450, true, InputWord::DviWhenSignalled, "DVI 60Hz"},
        {450450, true, InputWord::Dp, "DP 60Hz"},
        {450450, false, InputWord::DviWhenSignalled, "HDMI 59.94Hz"},
        {450450, true, InputWord::Hdmi, "HDMI 60Hz"},
        {1126125, true, InputWord::Hdmi, "HDMI 24Hz"},
        // Nothing measured.
        {0, false, InputWord::Dp, "DP 0Hz"},
        {1, false, InputWord::Hdmi, "HDMI 27000000Hz"},
    };
    for (const auto& c : cases) {
        Image img;
        img.Count(54, c.count);
        img.bytes[53] = c.dvi ? 0x40 : 0x00;
        EXPECT_EQ(InputProtocolText(img.bytes, c.word).toStdString(), c.text) << c.count;
    }
}

TEST(RefInFormatText, FormatAndRateOfByte42)
{
    const struct {
        UByte byte42;
        bool valid;
        const char* text;
    } cases[] = {
        {0x00, false, "No Ref"},     {0x92, true, "720p59.94"}, {0x80, true, "1080i60"},
        {0xC5, true, "1080p25"},     {0x3C, false, "No Ref"},   {0xA8, true, "525i50"},
        {0xB3, true, "625i30"},      {0xF7, true, "1080i23.98"}, {0x84, true, "1080i29.97"},
        {0xC6, true, "1080p24"},     {0x8F, true, "1080i60"},
    };
    for (const auto& c : cases) {
        Image img;
        img.bytes[42] = c.byte42;
        EXPECT_EQ(RefInFormatText(img.bytes, c.valid).toStdString(), c.text) << int(c.byte42);
    }
}

} // namespace
