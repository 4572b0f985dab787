#include "serial/lineattributes.h"
#include "serial/openretry.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

void ExpectRawLine(const struct termios& t)
{
    EXPECT_EQ(cfgetispeed(&t), speed_t(B38400));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B38400));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(t.c_cflag & CREAD);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS | HUPCL), tcflag_t(0)) << "1 stop bit, no handshake";
    EXPECT_EQ(t.c_iflag, tcflag_t(0));
    EXPECT_EQ(t.c_oflag, tcflag_t(0));
    EXPECT_EQ(t.c_lflag, tcflag_t(0));
    EXPECT_EQ(t.c_line, 0);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 5);
}

TEST(LineAttributesTest, ConverterLineIsRawOddParityBuiltFromNothing)
{
    const struct termios line = ConverterLineAttributes();
    ExpectRawLine(line);
    EXPECT_EQ(line.c_cflag & (PARENB | PARODD), tcflag_t(PARENB | PARODD));
}

TEST(LineAttributesTest, NeutralLineDiffersOnlyInParity)
{
    const struct termios neutral = NeutralLineAttributes();
    ExpectRawLine(neutral);
    EXPECT_EQ(neutral.c_cflag & (PARENB | PARODD), tcflag_t(0));
    EXPECT_EQ(neutral.c_cflag | PARENB | PARODD, ConverterLineAttributes().c_cflag);
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
