// Buffers, media descriptions and their texts, the compressed-size
// estimate, encryption keys and frames.
#include <gtest/gtest.h>

#include "qtprint.h"

#include <climits>
#include <cstring>

#include "logcapture.h"
#include "lumobufferdata_p.h"

#include "lumo/lumobufferdata.h"
#include "lumo/lumoframe.h"
#include "lumo/lumomediadesc.h"

namespace {

// Descriptions print their type by name.
const bool kNames = (LumoId::registerBuiltins(), true);

bool hasMessage(QByteArray const& msg)
{
    return LogCapture::waitUntil([&msg] {
        for (SystemEntry const& e : LogCapture::system())
            if (e.msg == msg)
                return true;
        return false;
    });
}

TEST(LumoBufferData, CountsItsCapacity)
{
    const qint64 before = LumoBufferData::bytesInUse();
    {
        LumoBuffer empty(0);
        EXPECT_EQ(empty->allocation, nullptr);
        EXPECT_EQ(empty->data, nullptr);
        EXPECT_EQ(empty->capacity, 0u);
        EXPECT_EQ(LumoBufferData::bytesInUse(), before);

        LumoBuffer buffer(5000, 77);
        EXPECT_EQ(LumoBufferData::bytesInUse(), before + 5000);
        EXPECT_EQ(buffer->size, 5000u);
        EXPECT_EQ(buffer->userValue, 77u);
        EXPECT_EQ(reinterpret_cast<quintptr>(buffer->data) % 4096, 0u);
        LumoBuffer copy = buffer; // one record for all copies
        EXPECT_EQ(copy.data(), buffer.data());
    }
    EXPECT_EQ(LumoBufferData::bytesInUse(), before);
}

TEST(LumoBufferData, FailedAllocationLeavesAnEmptyBuffer)
{
    LogCapture capture;
    const qint64 before = LumoBufferData::bytesInUse();
    lumoBufferSetAllocator([](unsigned int) -> void* { return nullptr; });
    {
        LumoBuffer buffer(5000);
        EXPECT_EQ(buffer->data, nullptr);
        EXPECT_EQ(buffer->size, 0u);
        EXPECT_EQ(buffer->capacity, 0u);
        EXPECT_EQ(LumoBufferData::bytesInUse(), before);
    }
    lumoBufferSetAllocator(nullptr);
    EXPECT_EQ(LumoBufferData::bytesInUse(), before);
    EXPECT_TRUE(hasMessage("LumoBuffer allocate of 5000 bytes failed\n"));
}

TEST(LumoBufferData, SizeAndCopiesStayWithinTheCapacity)
{
    LogCapture capture;
    LumoBuffer buffer(16);
    ASSERT_TRUE(buffer->setSize(4));
    EXPECT_TRUE(buffer->setSize(16));
    EXPECT_FALSE(buffer->setSize(17));
    EXPECT_EQ(buffer->size, 16u);
    EXPECT_TRUE(hasMessage("Can't set buffer size to 0x11, capacity is only 0x10\n"));

    char source[17];
    for (int i = 0; i < 17; ++i)
        source[i] = char('a' + i);
    buffer->setSize(2);
    EXPECT_FALSE(buffer->copyFromExtBuffer(source, 17));
    
    EXPECT_TRUE(buffer->copyFromExtBuffer(source, 16)); // the capacity counts, not the size
    EXPECT_EQ(buffer->size, 2u);
    char out[17] = {};
    EXPECT_FALSE(buffer->copyToExtBuffer(out, 17));
    EXPECT_EQ(out[0], 0);
    EXPECT_TRUE(buffer->copyToExtBuffer(out, 16));
    EXPECT_EQ(memcmp(out, source, 16), 0);
}

TEST(LumoRational, EqualityTable)
{
    struct Case {
        LumoRational a, b;
        bool equal;
    };
    const Case cases[] = {
        {{30000, 1001}, {60000, 2002}, true},
        {{16, 9}, {16, 0}, false},
        {{5, 0}, {7, 0}, true}, // no rate either way
        {{0, 0}, {0, 1}, false},
        {{25, 1}, {50, 2}, true},
        {{24000, 1001}, {24, 1}, false},
        {{INT_MIN, -1}, {INT_MIN, -1}, true},
    };
    for (Case const& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << c.a.num << "/" << c.a.den << " vs " << c.b.num << "/" << c.b.den;
        EXPECT_EQ(c.b == c.a, c.equal);
    }
}

TEST(LumoImageDesc, TextForms)
{
    LumoImageDesc desc;
    EXPECT_EQ(desc->toString(), QStringLiteral("Invalid Size: -1x-1p, Aspect 0:0, Frame Rate: 0/0"));
    desc->type = 231;
    desc->width = 1920;
    desc->height = 1080;
    desc->aspect = LumoRational(16, 9);
    desc->rate = LumoRational(30000, 1001);
    desc->scanMode = 1;
    EXPECT_EQ(desc->toString(), QStringLiteral("YCbCr10 Size: 1920x1080i, Aspect 16:9, Frame Rate: 30000/1001"));
    const char* names[] = {"p", "i", "psf", "", ""};
    for (int mode = 0; mode < 5; ++mode) {
        desc->scanMode = mode;
        EXPECT_EQ(desc->scanModeName(), QString::fromLatin1(names[mode])) << mode;
    }
    desc->scanMode = 3;
    EXPECT_EQ(desc->toString(), QStringLiteral("YCbCr10 Size: 1920x1080, Aspect 16:9, Frame Rate: 30000/1001"));

    LumoAudioDesc audio;
    audio->type = 404;
    audio->channels = 8;
    audio->rate = LumoRational(48000, 1);
    audio->fps = LumoRational(25, 1);
    EXPECT_EQ(audio->toString(), QStringLiteral("PCM_S16LE Chan: 8, Rate: 48000/1, FPS: 25/1"));

    LumoCryptoDesc crypto;
    crypto->encrypted = true;
    crypto->plaintextOffset = 16;
    crypto->sourceLength = 4096;
    EXPECT_EQ(crypto->toString(), QStringLiteral("Encrypted: 1, Plaintext offset: 16, Source Length: 4096, Has MIC: 0, "));
}

TEST(LumoImageDesc, EqualityComparesRatesByValueAndEveryOtherField)
{
    LumoImageDesc a;
    a->rate = LumoRational(30000, 1001);
    LumoImageDesc b;
    b->rate = LumoRational(60000, 2002);
    EXPECT_FALSE(a.isSharedWith(b));
    EXPECT_TRUE(a == b);
    b->extraFlag = true;
    EXPECT_FALSE(a == b);
    b->extraFlag = false;
    b->extraValue = 3;
    EXPECT_FALSE(a == b);

    // Copies share until written.
    LumoImageDesc c = a;
    EXPECT_TRUE(c.isSharedWith(a));
    c->width = 720;
    EXPECT_FALSE(c.isSharedWith(a));
    EXPECT_EQ(a->width, -1);
}

TEST(LumoImageDesc, MaxDataTypeSizeTiersAndBoundaries)
{
    struct Case {
        int type, w, h, expected;
    };
    const Case cases[] = {
        // tiers of each codec, at their upper edges
        {202, 720, 486, 255590},     {202, 720, 487, 298188},     {202, 720, 576, 298188},
        {202, 1280, 720, 447283},    {202, 1920, 1080, 894566},   {202, 2048, 1080, 1022361},
        {203, 720, 486, 383385},     {203, 721, 10, 670924},      {203, 1281, 720, 1341849},
        {203, 1921, 1080, 1533542},  {204, 720, 486, 177999},     {204, 2048, 1556, 708198},
        {205, 1280, 720, 138444},    {205, 720, 576, 92296},      {206, 1920, 1080, 2012774},
        {220, 720, 486, 575078},     {220, 2048, 1080, 2300313},  {206, -1, -1, 575078},
        // beyond 2048 pixels: the area formula, cut to 4096, +30%
        {203, 3840, 2160, 5388697},  {206, 4096, 2160, 8626176},  {202, 2049, 1, 0},
        {202, 4096, 2160, 3833856},  {204, 4096, 2160, 2667724},  {205, 4096, 2160, 1182105},
        // the old 32-bit limit: 16515072 was the largest rounded value
        {203, 4096, 8064, 21469593}, {203, 4097, 8066, 21474918}, {203, 7680, 4320, 21565440},
        // saturation
        {206, 65536, 65536, INT_MAX}, {206, INT_MAX, INT_MAX, INT_MAX}, {203, 4096, -8192, -21810380},
        {206, 65536, -65536, INT_MIN},
        // not a codec
        {231, 1920, 1080, 0},        {0, 4096, 2160, 0},          {207, 720, 486, 0},
    };
    for (Case const& c : cases) {
        LumoImageDescData desc;
        desc.type = c.type;
        desc.width = c.w;
        desc.height = c.h;
        EXPECT_EQ(desc.maxDataTypeSize(), c.expected) << c.type << " " << c.w << "x" << c.h;
    }
}

TEST(LumoCryptoKey, ParseTable)
{
    struct Case {
        char const* text;
        char const* key; // null: the record is cleared
    };
    const Case cases[] = {
        {"00112233445566778899aabbccddeeff", "00112233445566778899AABBCCDDEEFF"},
        {"0x00112233445566778899AABBCCDDEEFF", "00112233445566778899AABBCCDDEEFF"},
        {"00:11:22:33-44:55:66:77 88 99 aa bb cc dd ee ff", "00112233445566778899AABBCCDDEEFF"},
        {"00112233445566778899aabbccddeeff0123", "00112233445566778899AABBCCDDEEFF"}, // beyond 32 ignored
        {"0X11 0x22 0x33 0x44 0x55 0x66 0x77 0x88 0x99 0xaa 0xbb 0xcc 0xdd 0xee 0xff 0x10",
         "112233445566778899AABBCCDDEEFF10"},
        {"00x1", nullptr},                              // "0x" skipped wherever it stands
        {"00112233445566778899aabbccddeef", nullptr},  // 31 digits
        {"", nullptr},
        {"g00112233445566778899aabbccddeeffz", "00112233445566778899AABBCCDDEEFF"},
    };
    for (Case const& c : cases) {
        LumoCryptoKeyData key;
        key.flag = 9;
        key.value = 1234;
        memset(key.key + 16, 0x5A, 16);
        key.set(QString::fromLatin1(c.text));
        if (c.key) {
            EXPECT_EQ(key.toString(), QString::fromLatin1(c.key))
                << c.text;
            EXPECT_EQ(key.flag, 9) << "only bytes 0 to 15 change";
            EXPECT_EQ(key.value, 1234u);
            EXPECT_EQ(key.key[16], 0x5A);
        } else {
            EXPECT_EQ(key.toString(), QString(32, QLatin1Char('0'))) << c.text;
            EXPECT_EQ(key.flag, 0);
            EXPECT_EQ(key.value, 0u);
            EXPECT_EQ(key.key[31], 0);
        }
    }
}

TEST(LumoFrame, CopiesOnWriteWhileImagesStayShared)
{
    LumoFrame frame;
    EXPECT_TRUE(frame->images.isEmpty());
    EXPECT_TRUE(frame->audio.isEmpty());
    EXPECT_TRUE(frame->metadata.isEmpty());

    LumoImage image;
    image->buffers.append(LumoBuffer(64));
    frame->images.append(image);
    frame.setMetadata(1, 7);

    LumoFrame copy = frame;
    copy.setMetadata(1, 8);
    copy.setMetadata(26, true);
    EXPECT_EQ(frame.metadata(1).toInt(), 7);
    EXPECT_FALSE(frame.metadata(26).isValid());
    EXPECT_EQ(copy.metadata(1).toInt(), 8);
    EXPECT_EQ(int(copy->metadata.value(26).id), 26);

    // The image record is one for both frames.
    copy->images.first()->desc->width = 1280;
    EXPECT_EQ(frame->images.first()->desc->width, 1280);
    EXPECT_TRUE(copy->images.first().isSharedWith(frame->images.first()));
}

struct CountingAttachment : LumoAttachment {
    explicit CountingAttachment(int* count) : count(count) {}
    ~CountingAttachment() override { ++*count; }
    int* count;
};

TEST(LumoFrame, AnImageDeletesItsAttachment)
{
    int deleted = 0;
    {
        LumoImage image;
        image->attachment = new CountingAttachment(&deleted);
        LumoImage copy = image;
    }
    EXPECT_EQ(deleted, 1);
}

} // namespace
