#include "platform/termios_settings.h"

#include <algorithm>
#include <iterator>

namespace vr410 {

namespace {

struct BaudCode {
    uint32_t Rate;
    speed_t Code;
};

constexpr BaudCode BaudCodes[] = {
    {.Rate = 50, .Code = B50},           {.Rate = 75, .Code = B75},
    {.Rate = 110, .Code = B110},         {.Rate = 134, .Code = B134},
    {.Rate = 150, .Code = B150},         {.Rate = 200, .Code = B200},
    {.Rate = 300, .Code = B300},         {.Rate = 600, .Code = B600},
    {.Rate = 1200, .Code = B1200},       {.Rate = 1800, .Code = B1800},
    {.Rate = 2400, .Code = B2400},       {.Rate = 4800, .Code = B4800},
    {.Rate = 9600, .Code = B9600},       {.Rate = 19200, .Code = B19200},
    {.Rate = 38400, .Code = B38400},     {.Rate = 57600, .Code = B57600},
    {.Rate = 115200, .Code = B115200},   {.Rate = 230400, .Code = B230400},
    {.Rate = 460800, .Code = B460800},   {.Rate = 500000, .Code = B500000},
    {.Rate = 576000, .Code = B576000},   {.Rate = 921600, .Code = B921600},
    {.Rate = 1000000, .Code = B1000000}, {.Rate = 1152000, .Code = B1152000},
    {.Rate = 1500000, .Code = B1500000}, {.Rate = 2000000, .Code = B2000000},
};

constexpr tcflag_t SizeFlags[] = {CS5, CS6, CS7, CS8}; // 5 to 8 data bits

} // namespace

bool ToTermios(const LineSettings& settings, termios& t) {
    const auto code = std::find_if(std::begin(BaudCodes), std::end(BaudCodes),
                                   [&](const BaudCode& b) { return b.Rate == settings.BaudRate; });
    if (code == std::end(BaudCodes) || settings.DataBits < 5 || settings.DataBits > 8 ||
        settings.StopBits < 1 || settings.StopBits > 2)
        return false;
    t.c_iflag = INPCK | PARMRK | (settings.OutX ? IXON : 0) | (settings.InX ? IXOFF : 0);
    t.c_oflag = 0;
    t.c_lflag = 0;
    t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    t.c_cflag |= CREAD | CLOCAL | SizeFlags[settings.DataBits - 5];
    if (settings.StopBits == 2)
        t.c_cflag |= CSTOPB;
    switch (settings.Parity) {
    case ParityMode::None:
        break;
    case ParityMode::Odd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case ParityMode::Even:
        t.c_cflag |= PARENB;
        break;
    case ParityMode::Mark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case ParityMode::Space:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }
    if (settings.OutxCtsFlow)
        t.c_cflag |= CRTSCTS;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, code->Code);
    cfsetospeed(&t, code->Code);
    return true;
}

LineSettings FromTermios(const termios& t, const LineSettings& others) {
    LineSettings settings = others;
    const speed_t speed = cfgetospeed(&t);
    for (const BaudCode& b : BaudCodes)
        if (b.Code == speed)
            settings.BaudRate = b.Rate;
    for (uint8_t bits = 5; bits <= 8; ++bits)
        if ((t.c_cflag & CSIZE) == SizeFlags[bits - 5])
            settings.DataBits = bits;
    settings.StopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
    if (!(t.c_cflag & PARENB))
        settings.Parity = ParityMode::None;
    else if (t.c_cflag & CMSPAR)
        settings.Parity = (t.c_cflag & PARODD) ? ParityMode::Mark : ParityMode::Space;
    else
        settings.Parity = (t.c_cflag & PARODD) ? ParityMode::Odd : ParityMode::Even;
    settings.OutxCtsFlow = (t.c_cflag & CRTSCTS) != 0;
    settings.OutX = (t.c_iflag & IXON) != 0;
    settings.InX = (t.c_iflag & IXOFF) != 0;
    return settings;
}

} // namespace vr410
