// Colour conversions between studio-range YCbCr and RGB, and the colour
// text clients read and write.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "roiscaler/values/colorspace.h"

namespace {

typedef std::array<int, 3> Triple;

Triple ToRgb(unsigned y, unsigned cb, unsigned cr, bool bt709)
{
    UByte r = 1, g = 1, b = 1;
    YCbCrToRgb(y, cb, cr, r, g, b, bt709);
    return {r, g, b};
}

Triple ToYCbCr(unsigned r, unsigned g, unsigned b, bool bt709)
{
    UByte y = 1, cb = 1, cr = 1;
    RgbToYCbCr(r, g, b, y, cb, cr, bt709);
    return {y, cb, cr};
}

Triple FromText(const QString& text, bool bt709)
{
    UByte y = 1, cb = 1, cr = 1;
    ColorTextToYCbCr(text, y, cb, cr, bt709);
    return {y, cb, cr};
}

QString ToText(unsigned y, unsigned cb, unsigned cr, bool bt709)
{
    QString text = QStringLiteral("unchanged");
    YCbCrToColorText(text, y, cb, cr, bt709);
    return text;
}

// The primaries, secondaries, white, black and mid grey in both standards.
TEST(ColorSpace, RgbToYCbCrGivesTheStandardValues)
{
    struct Case { Triple rgb, bt601, bt709; };
    const Case cases[] = {
        {{255, 0, 0}, {81, 90, 240}, {63, 102, 240}},
        {{0, 255, 0}, {145, 54, 34}, {173, 42, 26}},
        {{0, 0, 255}, {41, 240, 110}, {32, 240, 118}},
        {{255, 255, 0}, {210, 16, 146}, {219, 16, 138}},
        {{0, 255, 255}, {170, 166, 16}, {188, 154, 16}},
        {{255, 0, 255}, {106, 202, 222}, {78, 214, 230}},
        {{255, 255, 255}, {235, 128, 128}, {235, 128, 128}},
        {{0, 0, 0}, {16, 128, 128}, {16, 128, 128}},
        {{128, 128, 128}, {126, 128, 128}, {126, 128, 128}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToYCbCr(c.rgb[0], c.rgb[1], c.rgb[2], false), c.bt601) << c.rgb[0] << "," << c.rgb[1] << "," << c.rgb[2];
        EXPECT_EQ(ToYCbCr(c.rgb[0], c.rgb[1], c.rgb[2], true), c.bt709) << c.rgb[0] << "," << c.rgb[1] << "," << c.rgb[2];
    }
}

TEST(ColorSpace, YCbCrToRgbRoundsAndClamps)
{
    struct Case { Triple ycc, bt601, bt709; };
    const Case cases[] = {
        {{16, 128, 128}, {0, 0, 0}, {0, 0, 0}},
        {{235, 128, 128}, {255, 255, 255}, {255, 255, 255}},
        {{126, 128, 128}, {128, 128, 128}, {128, 128, 128}},
        {{255, 128, 128}, {255, 255, 255}, {255, 255, 255}}, // above white: clamped
        {{0, 128, 128}, {0, 0, 0}, {0, 0, 0}},               // below black: clamped
        {{81, 90, 240}, {254, 0, 0}, {255, 24, 0}},
        {{16, 0, 0}, {0, 154, 0}, {0, 96, 0}},
        {{235, 255, 255}, {255, 102, 255}, {255, 160, 255}},
        {{128, 16, 240}, {255, 83, 0}, {255, 95, 0}},
        {{1000, 128, 128}, {255, 255, 255}, {255, 255, 255}}, // wider than a byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToRgb(c.ycc[0], c.ycc[1], c.ycc[2], false), c.bt601) << c.ycc[0] << "," << c.ycc[1] << "," << c.ycc[2];
        EXPECT_EQ(ToRgb(c.ycc[0], c.ycc[1], c.ycc[2], true), c.bt709) << c.ycc[0] << "," << c.ycc[1] << "," << c.ycc[2];
    }
}

TEST(ColorSpace, GreysAndColoursSurviveARoundTrip)
{
    for (bool bt709 : {false, true}) {
        // Every studio-range grey comes back exactly.
        for (unsigned y = 16; y <= 235; ++y) {
            const QString text = ToText(y, 128, 128, bt709);
            EXPECT_EQ(FromText(text, bt709), (Triple{int(y), 128, 128})) << y << " " << text.toStdString();
        }
        // A colour moves by at most two steps through the 8-bit YCbCr.
        for (unsigned r = 0; r <= 255; r += 51)
            for (unsigned g = 0; g <= 255; g += 51)
                for (unsigned b = 0; b <= 255; b += 51) {
                    const Triple ycc = ToYCbCr(r, g, b, bt709);
                    const Triple back = ToRgb(ycc[0], ycc[1], ycc[2], bt709);
                    EXPECT_LE(std::abs(back[0] - int(r)), 2) << r << "," << g << "," << b;
                    EXPECT_LE(std::abs(back[1] - int(g)), 2) << r << "," << g << "," << b;
                    EXPECT_LE(std::abs(back[2] - int(b)), 2) << r << "," << g << "," << b;
                }
    }
    // Pure red loses a step one way or the other.
    EXPECT_EQ(FromText(QStringLiteral("#ff0000"), false), (Triple{81, 90, 240}));
    EXPECT_EQ(FromText(QStringLiteral("#ff0000"), true), (Triple{63, 102, 240}));
    EXPECT_EQ(ToText(81, 90, 240, false), QLatin1String("#fe0000"));
    EXPECT_EQ(ToText(63, 102, 240, true), QLatin1String("#ff0100"));
}

TEST(ColorSpace, ColorTextIsSevenLowerCaseCharacters)
{
    struct Case { Triple ycc; const char* bt601; const char* bt709; };
    const Case cases[] = {
        {{16, 128, 128}, "#000000", "#000000"},
        {{235, 128, 128}, "#ffffff", "#ffffff"},
        {{126, 128, 128}, "#808080", "#808080"},
        {{17, 128, 128}, "#010101", "#010101"},
        {{41, 240, 110}, "#0000ff", "#000fff"},
        {{145, 54, 34}, "#00ff01", "#00d800"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToText(c.ycc[0], c.ycc[1], c.ycc[2], false), QLatin1String(c.bt601));
        EXPECT_EQ(ToText(c.ycc[0], c.ycc[1], c.ycc[2], true), QLatin1String(c.bt709));
    }
}

TEST(ColorSpace, ColorTextsReadLeniently)
{
    struct Case { const char* text; Triple rgb; };
    const Case cases[] = {
        {"#000000", {0, 0, 0}},
        {"#ffffff", {255, 255, 255}},
        {"#ff0000", {255, 0, 0}},
        {"ff0000", {255, 0, 0}},        // no number sign
        {"#FF0000", {255, 0, 0}},       // upper case
        {"x#ff0000", {255, 0, 0}},      // text before the sign
        {"#ff#00", {0, 0, 255}},        // only the piece between the signs
        {"#abc", {0, 10, 188}},         // no short form
        {"#1234567", {0x23, 0x45, 0x67}}, // low 24 bits
        {"#00ff00", {0, 255, 0}},
        {"#0000ff", {0, 0, 255}},
        {"", {0, 0, 0}},                // unreadable texts are black
        {"red", {0, 0, 0}},
        {"#", {0, 0, 0}},
        {"##ff0000", {0, 0, 0}},
        {"#ff00zz", {0, 0, 0}},
        {"#12345678901234567890", {0, 0, 0}}, // too large for the number
    };
    for (bool bt709 : {false, true}) {
        for (const Case& c : cases)
            EXPECT_EQ(FromText(QLatin1String(c.text), bt709), ToYCbCr(c.rgb[0], c.rgb[1], c.rgb[2], bt709))
                << c.text << (bt709 ? " bt709" : " bt601");
        EXPECT_EQ(FromText(QStringLiteral("#000000"), bt709), (Triple{16, 128, 128}));
        EXPECT_EQ(FromText(QStringLiteral("#ffffff"), bt709), (Triple{235, 128, 128}));
        EXPECT_EQ(FromText(QStringLiteral("nonsense"), bt709), (Triple{16, 128, 128}));
    }
}

} // namespace
