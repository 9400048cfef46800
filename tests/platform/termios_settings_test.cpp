#include "platform/termios_settings.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

struct ParityCase {
    const char* Shows;
    ParityMode Parity;
    tcflag_t Set;
    tcflag_t Clear;
};

void PrintTo(const ParityCase& c, std::ostream* os) {
    *os << c.Shows;
}

class TermiosParity : public ::testing::TestWithParam<ParityCase> {};

TEST_P(TermiosParity, ParityBecomesItsFlagsAndReadsBack) {
    const ParityCase& c = GetParam();
    LineSettings settings;
    settings.BaudRate = 57600;
    settings.Parity = c.Parity;
    termios t{};
    t.c_cflag = PARENB | PARODD | CMSPAR; // left over from an earlier setting
    ASSERT_TRUE(ToTermios(settings, t));
    EXPECT_EQ(t.c_cflag & c.Set, c.Set);
    EXPECT_EQ(t.c_cflag & c.Clear, 0u);
    EXPECT_EQ(FromTermios(t, {}).Parity, c.Parity);
}

const ParityCase ParityCases[] = {
    // clang-format off
    // what it shows          parity             flags set                   flags clear
    {"mark is odd stick",     ParityMode::Mark,  PARENB | CMSPAR | PARODD,   0},
    {"space is even stick",   ParityMode::Space, PARENB | CMSPAR,            PARODD},
    {"odd",                   ParityMode::Odd,   PARENB | PARODD,            CMSPAR},
    {"even",                  ParityMode::Even,  PARENB,                     PARODD | CMSPAR},
    {"none",                  ParityMode::None,  0,                          PARENB | PARODD | CMSPAR},
    // clang-format on
};

INSTANTIATE_TEST_SUITE_P(Table, TermiosParity, ::testing::ValuesIn(ParityCases));

TEST(Termios, InstrumentLineIsRawEightBitsWithErrorMarks) {
    LineSettings settings;
    settings.BaudRate = 57600;
    settings.Parity = ParityMode::Space;
    settings.ParityCheck = false;
    termios t{};
    t.c_iflag = ISTRIP | IGNPAR | ICRNL | IXON;
    t.c_lflag = ICANON | ECHO | ISIG;
    t.c_oflag = OPOST | ONLCR;
    t.c_cflag = CSTOPB | CRTSCTS | CS7;
    ASSERT_TRUE(ToTermios(settings, t));
    EXPECT_EQ(t.c_iflag, static_cast<tcflag_t>(INPCK | PARMRK))
        << "errors marked and characters delivered; nothing stripped or translated";
    EXPECT_EQ(t.c_lflag, 0u);
    EXPECT_EQ(t.c_oflag, 0u);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), static_cast<tcflag_t>(CREAD | CLOCAL));
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B57600));
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    const LineSettings back = FromTermios(t, settings);
    EXPECT_EQ(back.BaudRate, 57600u);
    EXPECT_EQ(back.DataBits, 8);
    EXPECT_EQ(back.StopBits, 1);
}

TEST(Termios, SettingsTermiosCannotHoldAreRefused) {
    termios t{};
    LineSettings settings;
    settings.BaudRate = 56000;
    EXPECT_FALSE(ToTermios(settings, t));
    settings.BaudRate = 57600;
    settings.DataBits = 9;
    EXPECT_FALSE(ToTermios(settings, t));
}

} // namespace
} // namespace vr410
