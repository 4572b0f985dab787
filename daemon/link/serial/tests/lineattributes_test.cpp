#include "serial/lineattributes.h"
#include "serial/openretry.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// Whatever a port held before, the line is the same raw 8-bit line; only
// stop bits and hardware flow control come from what was found.
void ExpectRawLine(const struct termios& t, tcflag_t keptFlags)
{
    EXPECT_EQ(cfgetispeed(&t), speed_t(B38400));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B38400));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(t.c_cflag & CREAD);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS | HUPCL), keptFlags);
    EXPECT_EQ(t.c_iflag, tcflag_t(0));
    EXPECT_EQ(t.c_oflag, tcflag_t(0));
    EXPECT_EQ(t.c_lflag, tcflag_t(0));
    EXPECT_EQ(t.c_line, 0);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 5);
}

struct Found {
    const char* what;
    struct termios attributes;
    tcflag_t kept;
};

std::vector<Found> FoundStates()
{
    struct termios clean;
    std::memset(&clean, 0, sizeof clean);
    // What a killed daemon leaves: the converter line itself.
    struct termios converter = clean;
    converter.c_cflag = CS8 | CREAD | CLOCAL | PARENB | PARODD;
    cfsetspeed(&converter, B38400);
    // A cooked terminal at another speed, with everything a raw line drops.
    struct termios cooked = clean;
    cooked.c_cflag = CS7 | CREAD | HUPCL | PARENB;
    cooked.c_iflag = IXON | ICRNL | INPCK;
    cooked.c_oflag = OPOST | ONLCR;
    cooked.c_lflag = ECHO | ECHOE | ICANON | ISIG;
    cooked.c_cc[VMIN] = 1;
    cfsetspeed(&cooked, B9600);
    struct termios stopBits = cooked;
    stopBits.c_cflag |= CSTOPB;
    struct termios handshake = clean;
    handshake.c_cflag = CS8 | CRTSCTS;
    struct termios both = cooked;
    both.c_cflag |= CSTOPB | CRTSCTS;
    return {
        {"nothing set", clean, 0},
        {"the converter line", converter, 0},
        {"cooked terminal", cooked, 0},
        {"two stop bits", stopBits, CSTOPB},
        {"hardware handshake", handshake, CRTSCTS},
        {"both kept", both, CSTOPB | CRTSCTS},
    };
}

TEST(LineAttributesTest, ConverterLineIsRawOddParityWhateverWasFound)
{
    for (const Found& f : FoundStates()) {
        SCOPED_TRACE(f.what);
        const struct termios line = ConverterLineAttributes(f.attributes);
        ExpectRawLine(line, f.kept);
        EXPECT_EQ(line.c_cflag & (PARENB | PARODD), tcflag_t(PARENB | PARODD));
    }
}

TEST(LineAttributesTest, NeutralLineDiffersOnlyInParity)
{
    for (const Found& f : FoundStates()) {
        SCOPED_TRACE(f.what);
        const struct termios neutral = NeutralLineAttributes(f.attributes);
        ExpectRawLine(neutral, f.kept);
        EXPECT_EQ(neutral.c_cflag & (PARENB | PARODD), tcflag_t(0));
        EXPECT_EQ(neutral.c_cflag | PARENB | PARODD, ConverterLineAttributes(f.attributes).c_cflag);
    }
}

TEST(OpenRetryTest, TransientFailuresAreTriedAgainWithGrowingPauses)
{
    struct Case {
        int attempt;
        int error;
        int pause;
    };
    const Case cases[] = {
        {2, EINVAL, 50}, {3, EINVAL, 100}, {4, EBUSY, 200}, {5, EIO, 400},
        {6, EIO, -1},      // attempts used up
        {1, EIO, -1},      // the first attempt needs no pause
        {2, ENOENT, -1},   // the node is gone
        {2, ENOTTY, -1},   // not a terminal
        {2, EACCES, -1},   // no permission
        {2, EISDIR, -1},   // a directory
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpenRetry::PauseBefore(c.attempt, c.error), c.pause) << c.attempt << " errno " << c.error;
    EXPECT_EQ(OpenRetry::TotalPauseMs(), 750);
}

}
