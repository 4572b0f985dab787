#include "serial/lineattributes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct StartCase {
    const char* name;
    tcflag_t cflag;
    tcflag_t iflag;
    tcflag_t lflag;
    tcflag_t oflag;
    speed_t speed;
};

class LineAttributesTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(LineAttributesTest, GivesTheConverterLineAndKeepsStopBitsAndHandshake)
{
    const StartCase& start = GetParam();
    struct termios t;
    std::memset(&t, 0, sizeof t);
    t.c_cflag = start.cflag;
    t.c_iflag = start.iflag;
    t.c_lflag = start.lflag;
    t.c_oflag = start.oflag;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetspeed(&t, start.speed);

    SetConverterLineAttributes(t);

    EXPECT_EQ(cfgetispeed(&t), speed_t(B38400));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B38400));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    for (tcflag_t bit : {tcflag_t(PARENB), tcflag_t(PARODD), tcflag_t(CREAD), tcflag_t(CLOCAL)})
        EXPECT_TRUE(t.c_cflag & bit) << "cflag bit " << bit;
    EXPECT_EQ(t.c_cflag & CSTOPB, start.cflag & CSTOPB);
    EXPECT_EQ(t.c_cflag & CRTSCTS, start.cflag & CRTSCTS);
    EXPECT_EQ(t.c_lflag & (ECHO | ECHOE | ICANON | ISIG | IEXTEN), tcflag_t(0));
    EXPECT_EQ(t.c_oflag & OPOST, tcflag_t(0));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP), tcflag_t(0));
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 5);
}

const StartCase kStarts[] = {
    {"Zeroed", 0, 0, 0, 0, B0},
    {"CookedTerminal", CS7 | CREAD | HUPCL, ICRNL | IXON | IXOFF | IXANY,
     ECHO | ECHOE | ICANON | ISIG | IEXTEN, OPOST | ONLCR, B9600},
    {"TwoStopBitsAndHandshake", CS8 | CSTOPB | CRTSCTS | PARENB, IXOFF, ECHO, OPOST, B115200},
    {"EvenParityTwoStopBits", CS5 | CSTOPB | PARENB, INPCK, 0, 0, B1200},
};

INSTANTIATE_TEST_SUITE_P(Starts, LineAttributesTest, ::testing::ValuesIn(kStarts),
                         [](const ::testing::TestParamInfo<StartCase>& info) {
                             return std::string(info.param.name);
                         });

}
