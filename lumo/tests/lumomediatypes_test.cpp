// Video rates, video state texts, time codes, subtitle fades and LUTs.
#include <gtest/gtest.h>

#include "qtprint.h"

#include <climits>
#include <random>

#include <QTime>

#include "lumo/lumoimagelut.h"
#include "lumo/lumosubtitle.h"
#include "lumo/lumotimecode.h"
#include "lumo/lumovideorate.h"
#include "lumo/lumovideostate.h"

namespace {

// Descriptions print their type by name.
const bool kNames = (LumoId::registerBuiltins(), true);

// --- rates ---------------------------------------------------------------------------

TEST(LumoVideoRate, StandardRateTable)
{
    const int forms[][2] = {{0, 0},      {24000, 1001},  {24000, 1000}, {25000, 1000},  {30000, 1001}, {30000, 1000},
                            {50000, 1000}, {60000, 1001}, {60000, 1000}, {120000, 1001}, {120000, 1000}, {0, 0}};
    for (int rate = 0; rate <= 11; ++rate) {
        const LumoVideoRate r{LumoVideoRate::StdRate(rate)};
        EXPECT_EQ(r.num, forms[rate][0]) << rate;
        EXPECT_EQ(r.den, forms[rate][1]) << rate;
    }
}

TEST(LumoVideoRate, FindingAndMakingStandardRates)
{
    struct Find {
        double rate;
        LumoVideoRate::StdRate expected;
    };
    const Find finds[] = {
        {29.97, LumoVideoRate::Rate29_97}, {24.0, LumoVideoRate::Rate24},   {23.5, LumoVideoRate::RateNone},
        {23.98, LumoVideoRate::Rate23_98}, {59.94, LumoVideoRate::Rate59_94}, {120.0, LumoVideoRate::Rate120},
        {119.88, LumoVideoRate::Rate119_88}, {25.009, LumoVideoRate::Rate25}, {25.01, LumoVideoRate::RateNone},
        {0.0, LumoVideoRate::RateNone},
    };
    for (Find const& f : finds)
        EXPECT_EQ(LumoVideoRate::findStdRate(f.rate), f.expected) << f.rate;
    EXPECT_EQ(LumoVideoRate::findStdRate(LumoRational(50, 1)), LumoVideoRate::Rate50);
    EXPECT_EQ(LumoVideoRate::findStdRate(LumoRational(50, 0)), LumoVideoRate::RateNone);

    struct Standard {
        int num, den;
        LumoVideoRate::StdRate exact;
    };
    const Standard standards[] = {
        {24, 1, LumoVideoRate::Rate24},   {48000, 2000, LumoVideoRate::RateNone},
        {60, 1, LumoVideoRate::RateNone}, {120000, 1001, LumoVideoRate::Rate119_88},
    };
    for (Standard const& s : standards)
        EXPECT_EQ(LumoVideoRate(s.num, s.den).standard(), s.exact) << s.num << "/" << s.den;

    LumoVideoRate rate(48000, 2000);
    EXPECT_TRUE(rate.makeStdRate());
    EXPECT_EQ(rate.num, 24000);
    EXPECT_EQ(rate.den, 1000);
    LumoVideoRate odd(47, 2);
    EXPECT_FALSE(odd.makeStdRate());
    EXPECT_EQ(odd.num, 47);
    EXPECT_EQ(odd.den, 2);
}

// --- video state ---------------------------------------------------------------------

TEST(LumoVideoState, Texts)
{
    LumoVideoState state;
    const QString none = QStringLiteral("Invalid Size: -1x-1p, Aspect 0:0, Frame Rate: 0/0");
    EXPECT_EQ(state->toString(), none + QStringLiteral(" ABSENT INVALID"));

    // Equal but distinct records give the short form.
    state->present = true;
    state->valid = true;
    state->firstDesc->width = 1920;
    state->secondDesc->width = 1920;
    ASSERT_FALSE(state->firstDesc.isSharedWith(state->secondDesc));
    EXPECT_EQ(state->toString(), QStringLiteral("Invalid Size: 1920x-1p, Aspect 0:0, Frame Rate: 0/0 PRESENT VALID"));

    state->secondDesc->type = 252;
    state->secondDesc->scanMode = 2;
    EXPECT_EQ(state->toString(), QStringLiteral("Invalid Size: 1920x-1p, Aspect 0:0, Frame Rate: 0/0 -> "
                                                "RGB Size: 1920x-1psf, Aspect 0:0, Frame Rate: 0/0 PRESENT VALID"));
    state->valid = false;
    EXPECT_TRUE(state->toString().endsWith(QStringLiteral(" PRESENT INVALID")));
}

// --- time codes ----------------------------------------------------------------------

struct Label {
    int h, m, s, f;
};

void expectLabel(LumoTimecodeData const& tc, Label const& l, char const* what)
{
    EXPECT_EQ(tc.hours, l.h) << what;
    EXPECT_EQ(tc.minutes, l.m) << what;
    EXPECT_EQ(tc.seconds, l.s) << what;
    EXPECT_EQ(tc.frames, l.f) << what;
}

TEST(LumoTimecode, FromFrameNumbers)
{
    struct Case {
        int frame, fps;
        bool drop;
        bool ok;
        Label label;
        bool dropFlag;
    };
    const Case cases[] = {
        {1800, 30, true, true, {0, 1, 0, 2}, true},
        {17982, 30, true, true, {0, 10, 0, 0}, true},
        {1799, 30, true, true, {0, 0, 59, 29}, true},
        {1800, 30, false, true, {0, 1, 0, 0}, false},
        {3600, 60, true, true, {0, 1, 0, 4}, true},
        {3601, 60, true, true, {0, 1, 0, 5}, true},
        {90, 25, true, true, {0, 0, 3, 15}, false}, // 25 fps counts without drop frame
        {0, 30, false, true, {0, 0, 0, 0}, false},
        {2160000, 25, false, true, {24, 0, 0, 0}, false}, // not wrapped at 24 hours
        {13823999, 30, false, true, {127, 59, 59, 29}, false},
        {13824000, 30, false, false, {0, 0, 0, 0}, false}, // 128 hours do not fit
        {INT_MAX, 30, true, false, {0, 0, 0, 0}, false},
        {127, 128, false, true, {0, 0, 0, 127}, false},
        {0, 129, false, false, {0, 0, 0, 0}, false}, // frames would not fit
        {-1, 30, false, false, {0, 0, 0, 0}, false},
        {100, 0, false, false, {0, 0, 0, 0}, false},
        {100, -30, false, false, {0, 0, 0, 0}, false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frame << "@" << c.fps << (c.drop ? " drop" : ""));
        const LumoTimecodeData tc(c.frame, c.fps, c.drop);
        expectLabel(tc, c.label, "label");
        EXPECT_EQ(tc.isValid(), c.ok);
        EXPECT_EQ(tc.isDropFrame(), c.dropFlag);
        EXPECT_EQ(tc.fps, c.ok ? c.fps : 0);
        EXPECT_EQ(tc.userBits, 0u);

        // A refused frame number leaves a set time code as it was.
        LumoTimecodeData kept(5, 24, false);
        EXPECT_EQ(kept.setFromFrameNumber(c.frame, c.fps, c.drop), c.ok);
        if (!c.ok) {
            EXPECT_TRUE(kept == LumoTimecodeData(5, 24, false));
        }
    }
}

TEST(LumoTimecode, PackedForms)
{
    LumoTimecodeData tc;
    tc.hours = 1;
    tc.minutes = 2;
    tc.seconds = 3;
    tc.frames = 4;
    tc.fps = 30;
    tc.flags = LumoTimecodeData::Valid | LumoTimecodeData::DropFrame;
    tc.userBits = 0x87654321;
    const LumoTimecodePacked p1 = tc.toPackedType1();
    EXPECT_EQ(p1.type, 1u);
    EXPECT_EQ(p1.fps, 30);
    EXPECT_EQ(p1.wordA, 0x01020344u);
    EXPECT_EQ(p1.wordB, 0x87654321u);
    const LumoTimecodePacked p2 = tc.toPackedType2();
    EXPECT_EQ(p2.type, 2u);
    EXPECT_EQ(p2.fps, 30);
    EXPECT_EQ(p2.wordA, 0x40332414u); // time and user nibbles alternate, time first
    EXPECT_EQ(p2.wordB, 0x80716052u);
    EXPECT_TRUE(LumoTimecodeData(p2) == tc);

    // Odd frames above 30 fps: bit 31 at 50, bit 15 at 48 and 60; all three
    // unpack to the frame packed.
    struct Odd {
        int fps;
        quint32 marker;
    };
    for (Odd const& o : {Odd{60, 1u << 15}, Odd{50, 1u << 31}, Odd{48, 1u << 15}}) {
        LumoTimecodeData odd(45, o.fps, false);
        const LumoTimecodePacked p = odd.toPackedType1();
        EXPECT_EQ(p.wordA & 0x3F, 0x22u) << o.fps;
        EXPECT_EQ(p.wordA & ((1u << 31) | (1u << 15)), o.marker) << o.fps;
        EXPECT_EQ(LumoTimecodeData(p).frames, 45) << o.fps;
    }

    for (int fps : {0, 29, 23, 120, -30}) {
        LumoTimecodeData other(0, 30, false);
        other.fps = qint16(fps);
        EXPECT_EQ(other.toPackedType1().type, 0u) << fps;
        EXPECT_EQ(other.toPackedType2().type, 0u) << fps;
    }

    LumoTimecodePacked unknown;
    unknown.type = 3;
    unknown.fps = 30;
    unknown.wordA = 0x01020304;
    EXPECT_TRUE(LumoTimecodeData(unknown) == LumoTimecodeData());

    // Drop frame is read from bit 6 at 0, 30 and 60 fps only; the
    // validity of the digits is not checked.
    LumoTimecodePacked raw;
    raw.type = 1;
    raw.fps = 25;
    raw.wordA = 0x3F7F7F7F;
    const LumoTimecodeData wild(raw);
    EXPECT_FALSE(wild.isDropFrame());
    expectLabel(wild, {45, 85, 85, 45}, "digits as they are");
    raw.fps = 0;
    EXPECT_TRUE(LumoTimecodeData(raw).isDropFrame());
}

TEST(LumoTimecode, RoundTripProperty)
{
    // Frame number -> label -> packed forms and text -> label -> frame
    // number gives back what went in, for every packable rate.
    std::mt19937 random(20240611);
    struct Rate {
        int fps;
        bool drop;
    };
    const Rate rates[] = {{24, false}, {25, false}, {30, false}, {30, true},
                          {48, false}, {50, false}, {60, false}, {60, true}};
    for (Rate const& rate : rates) {
        std::uniform_int_distribution<int> frames(0, 24 * 3600 * rate.fps - 1 - (rate.drop ? 24 * 6 * 18 * rate.fps / 30 : 0));
        for (int i = 0; i < 2000; ++i) {
            const int n = i < 40 ? i * 1797 % (24 * 3600 * 24) : frames(random);
            SCOPED_TRACE(testing::Message() << n << "@" << rate.fps << (rate.drop ? " drop" : ""));
            LumoTimecodeData tc(n, rate.fps, rate.drop);
            ASSERT_TRUE(tc.isValid());
            ASSERT_LE(tc.hours, 23);
            ASSERT_EQ(tc.frameNumber(), n);
            tc.userBits = random();

            const LumoTimecodeData type1(tc.toPackedType1());
            ASSERT_TRUE(type1 == tc);
            const LumoTimecodeData type2(tc.toPackedType2());
            ASSERT_TRUE(type2 == tc);

            const QString text = QString::asprintf("%02d:%02d:%02d%c%02d", tc.hours, tc.minutes, tc.seconds,
                                                   rate.drop ? ';' : ':', tc.frames);
            LumoTimecodeData parsed;
            parsed.fps = qint16(rate.fps);
            ASSERT_TRUE(parsed.setFromString(text));
            parsed.userBits = tc.userBits;
            ASSERT_TRUE(parsed == tc) << text.toStdString();
        }
    }
}

TEST(LumoTimecode, FromTextWithNormalisation)
{
    struct Case {
        char const* text;
        int fps;
        bool ok;
        Label label;
        bool drop;
    };
    const Case cases[] = {
        {"01:02:03:04", 0, true, {1, 2, 3, 4}, false},
        {"01:02:03;04", 0, true, {1, 2, 3, 4}, true},
        {"01;02:03:04", 0, true, {1, 2, 3, 4}, true},
        {"01.02.03.04 and more", 0, true, {1, 2, 3, 4}, false},
        {"99:99:99:99", 0, true, {99, 99, 99, 99}, false}, // not folded without a rate
        {"00:00:00:30", 30, true, {0, 0, 0, 29}, false},
        {"00:00:75:10", 30, true, {0, 1, 0, 10}, false},
        {"00:01:00;00", 30, true, {0, 0, 59, 29}, true},
        {"00:01:00;01", 30, true, {0, 0, 59, 29}, true},
        {"00:01:00;02", 30, true, {0, 1, 0, 2}, true},
        {"23:59:59:29", 30, true, {23, 59, 59, 29}, false},
        {"00:02:00;03", 60, true, {0, 1, 59, 59}, true},
        {"1:02:03:04", 0, false, {0, 0, 0, 0}, false},
        {"01:02:03:0", 0, false, {0, 0, 0, 0}, false},
        {"01:02:0x:04", 0, false, {0, 0, 0, 0}, false},
        {"", 0, false, {0, 0, 0, 0}, false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.text);
        LumoTimecodeData tc;
        tc.fps = qint16(c.fps);
        EXPECT_EQ(tc.setFromString(QString::fromLatin1(c.text)), c.ok);
        expectLabel(tc, c.label, "label");
        EXPECT_EQ(tc.isValid(), c.ok);
        EXPECT_EQ(tc.isDropFrame(), c.drop);
        if (c.fps == 0) {
            const LumoTimecodeData constructed(QString::fromLatin1(c.text));
            EXPECT_TRUE(constructed == tc);
        }
    }
}

TEST(LumoTimecode, RateChangesAndDropFrameSwitch)
{
    LumoTimecodeData tc(60 + 45, 60, false); // 00:00:01 frame 45
    EXPECT_FALSE(tc.setFPS(30));               // frame 45 no longer fits: next second
    expectLabel(tc, {0, 0, 2, 0}, "moved on");
    EXPECT_EQ(tc.fps, 30);
    EXPECT_TRUE(tc.setFPS(25)); // frame 0 fits
    EXPECT_EQ(tc.fps, 25);

    LumoTimecodeData last(24 * 3600 * 60 - 1, 60, false); // 23:59:59 frame 59
    EXPECT_FALSE(last.setFPS(50));
    expectLabel(last, {0, 0, 0, 0}, "hour wrap");

    LumoTimecodeData zero(10, 30, false);
    EXPECT_FALSE(zero.setFPS(0));
    EXPECT_EQ(zero.fps, 0);
    expectLabel(zero, {0, 0, 0, 10}, "not advanced at rate 0");

    LumoTimecodeData invalid;
    EXPECT_TRUE(invalid.setFPS(10));
    EXPECT_EQ(invalid.fps, 10);

    struct Drop {
        int fps;
        Label before;
        int framesAfter;
    };
    const Drop drops[] = {
        {30, {0, 1, 0, 0}, 2}, {60, {0, 1, 0, 1}, 4}, {25, {0, 1, 0, 0}, 2}, // the rate need not be a multiple of 30
        {30, {0, 10, 0, 0}, 0}, {30, {0, 1, 1, 0}, 0}, {0, {0, 1, 0, 0}, 0},  {30, {0, 1, 0, 5}, 5},
    };
    for (Drop const& d : drops) {
        LumoTimecodeData t;
        t.fps = qint16(d.fps);
        t.hours = qint8(d.before.h);
        t.minutes = qint8(d.before.m);
        t.seconds = qint8(d.before.s);
        t.frames = qint8(d.before.f);
        t.setDropFrame(true);
        EXPECT_TRUE(t.isDropFrame());
        EXPECT_EQ(t.frames, d.framesAfter) << d.fps << " " << d.before.m << ":" << d.before.s;
        t.setDropFrame(false);
        EXPECT_FALSE(t.isDropFrame());
    }
}

TEST(LumoTimecode, FromTimeOfDay)
{
    for (int fps : {0, -5, INT_MIN}) {
        const LumoTimecode tc = LumoTimecode::fromTimeOfDay(fps, false);
        EXPECT_EQ(tc->frames, 0) << fps;
        EXPECT_TRUE(tc->isValid());
    }
    const QTime before = QTime::currentTime();
    const LumoTimecode tc = LumoTimecode::fromTimeOfDay(30, true);
    EXPECT_TRUE(tc->isValid());
    EXPECT_TRUE(tc->isDropFrame());
    EXPECT_EQ(tc->fps, 30);
    EXPECT_GE(tc->frames, 0);
    EXPECT_LT(tc->frames, 30);
    EXPECT_EQ(tc->userBits, 0u);
    const int second = tc->hours * 3600 + tc->minutes * 60 + tc->seconds;
    const int expected = before.msecsSinceStartOfDay() / 1000;
    EXPECT_TRUE(second >= expected || second == 0) << "read once from the clock";
}

TEST(LumoTimecode, HandlesCopyOnWrite)
{
    LumoTimecode a(1800, 30, true);
    LumoTimecode b = a;
    EXPECT_TRUE(b.isSharedWith(a));
    b->userBits = 1;
    EXPECT_FALSE(b.isSharedWith(a));
    EXPECT_EQ(a->userBits, 0u);
    const LumoTimecode fresh;
    EXPECT_FALSE(fresh->isValid());
    EXPECT_EQ(fresh->fps, 0);
}

// --- subtitles and LUTs -------------------------------------------------------------

TEST(LumoSubtitle, FadeTable)
{
    struct Case {
        int duration, fadeIn, fadeOut, t, from, to, expected;
    };
    const Case cases[] = {
        {100, 10, 20, 5, 0, 255, 127},   {100, 10, 20, 50, 0, 255, 255}, {100, 10, 20, 90, 0, 255, 128},
        {100, 10, 20, 100, 0, 255, 0},   {100, 10, 20, -1, 0, 255, 0},   {100, 10, 20, 0, 0, 255, 0},
        {100, 10, 20, 80, 0, 255, 255},  {100, 10, 20, 99, 0, 255, 13},  {100, 0, 20, 0, 0, 255, 255},
        {100, 10, 0, 99, 0, 255, 255},   {100, 0, 0, 50, 7, 9, 9},       {0, 10, 20, 5, 3, 255, 3},
        {100, 10, 20, 5, 255, 0, 128},   {100, 50, 50, 25, INT_MIN, INT_MAX, -1},
    };
    for (Case const& c : cases) {
        LumoSubtitleData sub;
        sub.duration = c.duration;
        sub.fadeIn = c.fadeIn;
        sub.fadeOut = c.fadeOut;
        EXPECT_EQ(sub.fadeValue(c.t, c.from, c.to), c.expected)
            << c.duration << "/" << c.fadeIn << "/" << c.fadeOut << " t " << c.t;
    }
}

TEST(LumoImageLut, InitLayout)
{
    LumoImageLut lut;
    EXPECT_EQ(lut->entries, 0);
    EXPECT_TRUE(lut->name.isEmpty());
    lut->type = 1100;
    lut->entries = 4096;
    lut->init();
    EXPECT_EQ(lut->components, 3);
    EXPECT_EQ(lut->bytesPerComponent, 2);
    ASSERT_EQ(lut->data.size(), 24576);
    EXPECT_EQ(lut->data.count('\0'), 24576);

    lut->type = 1101;
    lut->init();
    EXPECT_EQ(lut->components, 0);
    EXPECT_EQ(lut->bytesPerComponent, 0);
    EXPECT_TRUE(lut->data.isEmpty());

    for (int entries : {-1, INT_MAX}) {
        lut->type = 1100;
        lut->entries = entries;
        lut->init();
        EXPECT_TRUE(lut->data.isEmpty()) << entries;
    }
}

} // namespace
