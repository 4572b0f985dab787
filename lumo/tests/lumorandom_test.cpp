// UUID text, byte, QUuid and stream forms; random draws from the source,
// from rand() and after failed reads.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>

#include "logcapture.h"
#include "lumo/lumorandom.h"
#include "lumorandom_p.h"

namespace {

const char kCanonical[] = "0123abcd-4567-89ef-0011-223344556677";
const QByteArray kCanonicalBytes = QByteArray::fromHex("0123abcd456789ef0011223344556677");

TEST(LumoUUID, TextTable)
{
    struct Case {
        char const* text;
        char const* hex; // expected bytes; empty for nil
    };
    const Case cases[] = {
        {"0123abcd-4567-89ef-0011-223344556677", "0123abcd456789ef0011223344556677"},
        {"{0123abcd-4567-89ef-0011-223344556677}", "0123abcd456789ef0011223344556677"},
        {"0123ABCD-4567-89EF-0011-223344556677", "0123abcd456789ef0011223344556677"},
        {"0123abcd456789ef0011223344556677 plus", "0123abcd456789ef0011223344556677"}, // 32 digits, more text
        {"01:23:ab:cd:45:67:89:ef:00:11:22:33:44:55:66:77", "0123abcd456789ef0011223344556677"},
        {"0-1-2-3abcd456789ef0011223344556677-", "0123abcd456789ef0011223344556677"}, // split nibbles
        {"0123abcd456789ef0011223344556677aabbccddeeff", "0123abcd456789ef0011223344556677"},
        {"0123abcd-4567-89ef-0011-22334455667", ""}, // 35 characters
        {"0123abcd456789ef0011223344556677", ""},    // 32 digits but 32 characters
        {"0123abcd-4567-89ef-0011-2233445566zz", ""}, // 36 characters, 30 digits
        {"", ""},
        {"ghijklmn-opqr-stuv-wxyz-ghijklmnopqr", ""},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.text);
        LumoUUID uuid(QByteArray(16, '\x5a'));
        uuid = QString::fromLatin1(c.text);
        const QByteArray expected = *c.hex ? QByteArray::fromHex(c.hex) : QByteArray(16, '\0');
        EXPECT_EQ(uuid.toByteArray(), expected);
    }
}

TEST(LumoUUID, TextForms)
{
    LumoUUID uuid;
    uuid = QStringLiteral("{0123ABCD-4567-89EF-0011-223344556677}");
    EXPECT_EQ(uuid.toString(LumoUUID::StringPlain), QString::fromLatin1(kCanonical));
    EXPECT_EQ(uuid.toString(LumoUUID::StringBraces), QStringLiteral("{%1}").arg(QLatin1String(kCanonical)));
    EXPECT_EQ(uuid.toString(LumoUUID::StringType(7)), QString::fromLatin1(kCanonical));
    EXPECT_EQ(LumoUUID().toString(LumoUUID::StringPlain), QStringLiteral("00000000-0000-0000-0000-000000000000"));
    LumoUUID back;
    back = uuid.toString(LumoUUID::StringBraces);
    EXPECT_EQ(back.toByteArray(), kCanonicalBytes);
}

TEST(LumoUUID, ValidityTable)
{
    struct Case {
        QByteArray bytes;
        bool valid;
    };
    QByteArray alternating;
    for (int i = 0; i < 16; ++i)
        alternating.append(i % 2 ? '\xff' : '\0');
    QByteArray oneByte(16, '\0');
    oneByte[15] = '\x01';
    QByteArray almostFF(16, '\xff');
    almostFF[3] = '\xfe';
    const Case cases[] = {
        {QByteArray(16, '\0'), false}, {QByteArray(16, '\xff'), false}, {alternating, false},
        {oneByte, true},               {almostFF, true},                {kCanonicalBytes, true},
    };
    for (Case const& c : cases)
        EXPECT_EQ(LumoUUID(c.bytes).isValid(), c.valid) << c.bytes.toHex().constData();
}

TEST(LumoUUID, ByteArrayQUuidAndStreamForms)
{
    EXPECT_EQ(LumoUUID(QByteArray(15, '\x11')).toByteArray(), QByteArray(16, '\0'));
    EXPECT_EQ(LumoUUID(QByteArray(17, '\x11')).toByteArray(), QByteArray(16, '\0'));
    EXPECT_EQ(LumoUUID().toByteArray(), QByteArray(16, '\0'));

    const QByteArray counting = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
    const QUuid q = LumoUUID(counting);
    EXPECT_EQ(q.data1, 0x00010203u);
    EXPECT_EQ(q.data2, 0x0405);
    EXPECT_EQ(q.data3, 0x0607);
    EXPECT_EQ(QByteArray(reinterpret_cast<char const*>(q.data4), 8), counting.mid(8));
    LumoUUID back;
    back = q;
    EXPECT_EQ(back.toByteArray(), counting);
    EXPECT_EQ(QUuid(LumoUUID(kCanonicalBytes)).toString(), QStringLiteral("{%1}").arg(QLatin1String(kCanonical)));

    QByteArray wire;
    {
        QDataStream out(&wire, QIODevice::WriteOnly);
        out << LumoUUID(kCanonicalBytes);
    }
    EXPECT_EQ(wire, kCanonicalBytes);
    QDataStream in(wire);
    LumoUUID read;
    in >> read;
    EXPECT_EQ(read.toByteArray(), kCanonicalBytes);
}

// Each case points the source somewhere and starts it anew.
class LumoRandomTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override
    {
        LumoRandomSource::reset();
        LumoRandomSource::setPath("/dev/urandom");
    }
    QByteArray file(char const* name, QByteArray const& content)
    {
        const QString path = dir.filePath(QLatin1String(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return QFile::encodeName(path);
    }
    void startOn(QByteArray const& path)
    {
        LumoRandomSource::reset();
        LumoRandomSource::setPath(path);
        LumoRandomInit();
    }

    LogCapture capture;
    QTemporaryDir dir;
};

template <typename T> T expectedFallback(int bits, unsigned seed)
{
    std::srand(seed);
    const unsigned long long r = unsigned(std::rand());
    return T(bits <= 31 ? r >> (31 - bits) : r << (bits - 31));
}

TEST_F(LumoRandomTest, DrawsReadTheSourceInMachineOrder)
{
    startOn(file("bytes", QByteArray::fromHex("0102030405060708" "11" "2122" "31323334" "4142434445464748")));
    EXPECT_EQ(LumoRandom::rand64(), 0x0807060504030201ull);
    EXPECT_EQ(LumoRandom::rand8(), 0x11);
    EXPECT_EQ(LumoRandom::rand16(), 0x2221);
    EXPECT_EQ(LumoRandom::rand32(), 0x34333231u);
    unsigned char buf[8];
    LumoRandom::randbuf(buf, sizeof buf);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(buf), 8), QByteArray::fromHex("4142434445464748"));
    EXPECT_TRUE(LogCapture::system().empty());
}

TEST_F(LumoRandomTest, ShortReadLogsAndGivesTheFallbackValue)
{
    startOn(file("short", QByteArray::fromHex("aabb")));
    const quint32 expected = expectedFallback<quint32>(32, 99);
    std::srand(99);
    EXPECT_EQ(LumoRandom::rand32(), expected); // two bytes read, then the fallback
    const quint64 expected64 = expectedFallback<quint64>(64, 7);
    std::srand(7);
    EXPECT_EQ(LumoRandom::rand64(), expected64); // end of file
    const quint8 expected8 = expectedFallback<quint8>(8, 5);
    std::srand(5);
    EXPECT_EQ(LumoRandom::rand8(), expected8);
    ASSERT_TRUE(LogCapture::waitSystem(3));
    const auto system = LogCapture::system();
    EXPECT_EQ(system[0].msg, QByteArray("MAKERAND failed with 2\n"));
    EXPECT_EQ(system[1].msg, QByteArray("MAKERAND failed with 0\n"));
    EXPECT_TRUE(system[0].prefix.startsWith("E ["));
    EXPECT_TRUE(system[0].prefix.contains("] [lumorandom:"));
}

TEST_F(LumoRandomTest, FailedReadLogsMinusOne)
{
    // A directory opens read-only but cannot be read.
    startOn(QFile::encodeName(dir.path()));
    ASSERT_GE(LumoRandomSource::descriptor(), 0);
    const quint16 expected = expectedFallback<quint16>(16, 3);
    std::srand(3);
    EXPECT_EQ(LumoRandom::rand16(), expected);
    ASSERT_TRUE(LogCapture::waitSystem(1));
    EXPECT_EQ(LogCapture::system()[0].msg, QByteArray("MAKERAND failed with -1\n"));
}

TEST_F(LumoRandomTest, UnopenedSourceUsesRandAndLogsTheOpenFailure)
{
    startOn(QFile::encodeName(dir.filePath(QStringLiteral("absent"))));
    EXPECT_EQ(LumoRandomSource::descriptor(), -1);
    ASSERT_TRUE(LogCapture::waitSystem(1));
    EXPECT_EQ(LogCapture::system()[0].msg, QByteArray("Failed to open /dev/urandom, will fail to sytem rand()\n"));
    EXPECT_TRUE(LogCapture::system()[0].prefix.startsWith("I ["));

    struct Width {
        int bits;
        quint64 (*draw)();
    };
    const Width widths[] = {
        {8, [] { return quint64(LumoRandom::rand8()); }},
        {16, [] { return quint64(LumoRandom::rand16()); }},
        {32, [] { return quint64(LumoRandom::rand32()); }},
        {64, [] { return LumoRandom::rand64(); }},
    };
    for (Width const& w : widths) {
        const quint64 expected = expectedFallback<quint64>(w.bits, 11);
        std::srand(11);
        EXPECT_EQ(w.draw(), expected & (w.bits == 64 ? ~0ull : (1ull << w.bits) - 1)) << w.bits;
    }
    unsigned char buf[4];
    std::srand(12);
    LumoRandom::randbuf(buf, sizeof buf);
    std::srand(12);
    for (unsigned char b : buf)
        EXPECT_EQ(b, std::rand() >> 23);
    memset(buf, 0xEE, sizeof buf);
    LumoRandom::randbuf(buf, 0);
    EXPECT_EQ(buf[0], 0xEE);
    EXPECT_EQ(LogCapture::system().size(), 1u);
}

TEST_F(LumoRandomTest, DescriptorZeroIsASource)
{
    // With standard input closed, the source opens as descriptor 0.
    const QByteArray path = file("zero", QByteArray::fromHex("deadbeef"));
    const int savedStdin = dup(0);
    ASSERT_GE(savedStdin, 0);
    close(0);
    startOn(path);
    const int fd = LumoRandomSource::descriptor();
    const quint32 value = LumoRandom::rand32();
    LumoRandomSource::reset();
    dup2(savedStdin, 0);
    close(savedStdin);
    EXPECT_EQ(fd, 0);
    EXPECT_EQ(value, 0xefbeaddeu);
}

TEST_F(LumoRandomTest, ShortSourceStillFillsTheWholeBuffer)
{
    startOn(file("hundred", QByteArray(100, '\x42')));
    std::vector<unsigned char> buf(200, 0);
    std::srand(21);
    LumoRandom::randbuf(buf.data(), unsigned(buf.size()));
    std::srand(21);
    for (size_t i = 0; i < buf.size(); ++i)
        ASSERT_EQ(buf[i], i < 100 ? 0x42 : std::rand() >> 23) << i;
    ASSERT_TRUE(LogCapture::waitSystem(1));
    EXPECT_EQ(LogCapture::system()[0].msg, QByteArray("randbuf failed with 0\n"));
}

TEST_F(LumoRandomTest, LargeBufferIsFilledCompletely)
{
    // The kernel hands out at most 32 MiB per read of /dev/urandom.
    startOn("/dev/urandom");
    ASSERT_GE(LumoRandomSource::descriptor(), 0);
    const size_t size = 40u << 20;
    std::vector<unsigned char> buf(size, 0);
    LumoRandom::randbuf(buf.data(), unsigned(size));
    // Every 64 KiB stretch holds something other than zero.
    for (size_t at = 0; at < size; at += 65536) {
        bool nonZero = false;
        for (size_t i = at; i < at + 65536 && !nonZero; ++i)
            nonZero = buf[i] != 0;
        ASSERT_TRUE(nonZero) << "zero stretch at " << at;
    }
    EXPECT_TRUE(LogCapture::system().empty());
    // A second init keeps the open source.
    const int fd = LumoRandomSource::descriptor();
    LumoRandomInit();
    EXPECT_EQ(LumoRandomSource::descriptor(), fd);
}

} // namespace
