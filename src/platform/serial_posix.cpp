#include "platform/serial_posix.h"

#include "platform/parmrk_parser.h"
#include "platform/profile_file.h"
#include "platform/receive_queue.h"
#include "platform/serial_tx_wait.h"
#include "platform/termios_settings.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <linux/serial.h>

#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vr410 {

namespace {

using Clock = std::chrono::steady_clock;

// An ioctl that the device does not have: ptys and many USB serial drivers lack error counters
// and the line status register, ptys also the modem lines.
bool NoSuchIoctl(int error) {
    return error == ENOTTY || error == EINVAL;
}

// The errors a tty gives once its device is gone: a hung-up tty (an unplugged USB adapter, a
// pty whose master was closed) answers EIO; a vanished device node ENXIO or ENODEV.
bool DeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

int RetryOnInterrupt(auto call) {
    int result = 0;
    do
        result = call();
    while (result < 0 && errno == EINTR);
    return result;
}

// The transmitter of an open tty, for the wait until it is empty.
class FdTransmitterProbe final : public TransmitterProbe {
  public:
    explicit FdTransmitterProbe(int fd) : Fd_(fd) {}

    int Error = 0; // errno of the call that failed

    ProbeResult OutputQueueBytes(int& bytes) override { return Ask(ioctl(Fd_, TIOCOUTQ, &bytes)); }
    ProbeResult TransmitterEmpty(bool& empty) override {
        unsigned int status = 0;
        const ProbeResult result = Ask(ioctl(Fd_, TIOCSERGETLSR, &status));
        empty = (status & TIOCSER_TEMT) != 0;
        return result;
    }
    bool Drain() override {
        if (RetryOnInterrupt([&] { return tcdrain(Fd_); }) == 0)
            return true;
        Error = errno;
        return false;
    }
    Clock::time_point Now() override { return Clock::now(); }
    void SleepFor(std::chrono::nanoseconds duration) override {
        std::this_thread::sleep_for(duration);
    }

  private:
    ProbeResult Ask(int result) {
        if (result == 0)
            return ProbeResult::Answered;
        if (NoSuchIoctl(errno))
            return ProbeResult::Missing;
        Error = errno;
        return ProbeResult::Failed;
    }

    int Fd_;
};

class PosixSerialPort final : public SerialPort {
  public:
    PosixSerialPort(int fd, const PosixSerialOptions& options, std::unique_ptr<UucpLock> lock)
        : Fd_(fd), IsPty_(options.IsPseudoTerminal(fd)), SetModemLines_(options.SetModemLines),
          Lock_(std::move(lock)) {
        HasCounters_ = ioctl(Fd_, TIOCGICOUNT, &Counters_) == 0;
        CharacterTime_ = vr410::CharacterTime(Remembered_);
    }

    ~PosixSerialPort() override {
        ioctl(Fd_, TIOCNXCL);
        close(Fd_); // releases the flock too; the lock file goes after it
    }

    bool GetTimeouts(CommTimeouts& timeouts) override {
        timeouts = Timeouts_;
        return true;
    }

    bool SetTimeouts(const CommTimeouts& timeouts) override {
        Timeouts_ = timeouts;
        return true;
    }

    bool SetupQueues(uint32_t inputBytes, uint32_t /*outputBytes*/) override {
        Input_.SetCapacity(inputBytes);
        return true;
    }

    bool GetState(LineSettings& settings) override {
        termios t{};
        if (tcgetattr(Fd_, &t) != 0)
            return Fail();
        settings = FromTermios(t, Remembered_);
        if (IsPty_)
            settings.Parity = Remembered_.Parity; // a pty has no parity bit: it takes any
        return true;
    }

    bool SetState(const LineSettings& settings) override {
        termios t{};
        if (tcgetattr(Fd_, &t) != 0)
            return Fail();
        if (!ToTermios(settings, t))
            return false;
        // tcsetattr succeeds when any part was taken, and fails with EINVAL when a part was not
        // and nothing changed: a pty asked again for the parity it dropped the first time (a
        // port opened a second time, a parity set twice). What counts is what reads back: the
        // speed and the character size must have been taken. (Ptys drop the parity bits, which
        // they cannot carry anyway.)
        if (tcsetattr(Fd_, TCSANOW, &t) != 0 && errno != EINVAL)
            return Fail();
        termios applied{};
        if (tcgetattr(Fd_, &applied) != 0)
            return Fail();
        if (cfgetospeed(&applied) != cfgetospeed(&t) ||
            (applied.c_cflag & CSIZE) != (t.c_cflag & CSIZE))
            return false;
        // DTR is raised once, at the open: on a USB adapter every modem-line call is a control
        // transfer, and the parity switches come between the address byte and the body.
        if (DtrSet_ != settings.DtrEnable) {
            if (!SetModemLine(TIOCM_DTR, settings.DtrEnable))
                return false;
            DtrSet_ = settings.DtrEnable;
        }
        Remembered_ = settings;
        CharacterTime_ = vr410::CharacterTime(settings);
        return true;
    }

    bool GetEventMask(uint32_t& mask) override {
        mask = EventMask_;
        return true;
    }

    bool SetEventMask(uint32_t mask) override {
        EventMask_ = mask;
        return true;
    }

    bool WaitEvent(uint32_t& event) override {
        if ((EventMask_ & EV_TXEMPTY) == 0)
            return false; // the only event this port reports
        FdTransmitterProbe probe(Fd_);
        if (!WaitTransmitterEmpty(probe, TxFreeAt_, CharacterTime_))
            return Fail(probe.Error);
        event = EV_TXEMPTY;
        return true;
    }

    bool SetRts(bool raised) override { return SetModemLine(TIOCM_RTS, raised); }

    bool Purge(uint32_t flags) override {
        if (flags & PURGE_RXCLEAR) {
            if (tcflush(Fd_, TCIFLUSH) != 0)
                return Fail();
            Input_.Clear();
            Parser_.Reset();
        }
        if (flags & (PURGE_TXCLEAR | PURGE_TXABORT)) {
            if (tcflush(Fd_, TCOFLUSH) != 0)
                return Fail();
            TxFreeAt_ = Clock::now();
        }
        return true;
    }

    // Writes the whole block, waiting for room when the output buffer is full, within the
    // write timeouts when they are set.
    bool Write(const uint8_t* data, size_t count, size_t& written) override {
        written = 0;
        const auto start = Clock::now();
        const uint64_t limitMs = Timeouts_.WriteTotalTimeoutConstant +
                                 uint64_t{Timeouts_.WriteTotalTimeoutMultiplier} * count;
        const auto deadline = start + std::chrono::milliseconds{limitMs};
        bool ok = true;
        while (written < count) {
            const ssize_t n = write(Fd_, data + written, count - written);
            if (n > 0) {
                written += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN) {
                ok = Fail();
                break;
            }
            int waitMs = -1;
            if (limitMs != 0) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
                if (left.count() <= 0) {
                    ok = false;
                    break;
                }
                waitMs = static_cast<int>(left.count());
            }
            pollfd p{.fd = Fd_, .events = POLLOUT, .revents = 0};
            if (poll(&p, 1, waitMs) < 0 && errno != EINTR) {
                ok = Fail();
                break;
            }
            if (p.revents & POLLHUP) {
                ok = Fail(EIO);
                break;
            }
        }
        TxFreeAt_ = std::max(start, TxFreeAt_) + CharacterTime_ * written;
        return ok;
    }

    bool ClearError(uint32_t& errors, uint32_t& inputQueueBytes) override {
        if (!Pump())
            return false;
        errors = Input_.TakeErrors();
        inputQueueBytes = static_cast<uint32_t>(Input_.Waiting());
        return true;
    }

    bool Read(uint8_t* data, size_t count, size_t& read) override {
        read = 0;
        if (!Pump())
            return false;
        read = Input_.Read(data, count);
        return true;
    }

    void WaitForInput(Clock::time_point deadline) override {
        for (;;) {
            if (!Pump() || Input_.Waiting() != 0 || Input_.Errors() != 0)
                return;
            const auto now = Clock::now();
            if (now >= deadline)
                return;
            // Rounded up to whole milliseconds: poll must not give up before the deadline.
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
            pollfd p{.fd = Fd_, .events = POLLIN, .revents = 0};
            const int ready =
                poll(&p, 1, static_cast<int>(std::min<int64_t>(left.count(), 60'000)));
            if (ready < 0 && errno != EINTR)
                return;
            if (p.revents & (POLLHUP | POLLERR | POLLNVAL))
                return; // the caller's next call reports the failure
        }
    }

    bool Lost() const override { return Lost_; }

  private:
    // Every failed call ends here: notes a device that is gone and returns false.
    bool Fail(int error = errno) {
        if (DeviceGone(error))
            Lost_ = true;
        return false;
    }

    // A pty has no modem lines; a real port whose driver refuses them cannot switch an RS485
    // converter, which the caller must hear of.
    bool SetModemLine(int line, bool raised) {
        const int error = SetModemLines_(Fd_, line, raised);
        if (error == 0 || (IsPty_ && NoSuchIoctl(error)))
            return true;
        return Fail(error);
    }

    // Moves what the tty has received into the input queue and turns error marks and counter
    // changes into flags. False when the device is gone or fails.
    bool Pump() {
        uint8_t buffer[512];
        std::vector<ReceivedByte> received;
        for (;;) {
            const ssize_t n = read(Fd_, buffer, sizeof buffer);
            if (n > 0) {
                Parser_.Feed(buffer, static_cast<size_t>(n), received);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN)
                return Fail();
            if (n == 0) {
                // With VMIN and VTIME 0 an empty tty reads as 0 bytes, and so does a hung-up
                // one (an unplugged USB adapter); only the latter polls as hung up.
                pollfd p{.fd = Fd_, .events = 0, .revents = 0};
                if (poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
                    return Fail(EIO);
            }
            break;
        }
        for (const ReceivedByte& b : received) {
            // With the counters the marks add nothing; without them they are all there is.
            const bool judgedByMark = b.Marked && !HasCounters_;
            Input_.Push(b.Value,
                        judgedByMark ? MarkedCharacterError(Input_.ReceivedSinceClear()) : 0);
        }
        if (HasCounters_) {
            serial_icounter_struct now{};
            if (ioctl(Fd_, TIOCGICOUNT, &now) != 0)
                return Fail();
            if (now.parity != Counters_.parity)
                Input_.RaiseErrors(CE_RXPARITY);
            if (now.frame != Counters_.frame)
                Input_.RaiseErrors(CE_FRAME);
            if (now.overrun != Counters_.overrun)
                Input_.RaiseErrors(CE_OVERRUN);
            if (now.brk != Counters_.brk)
                Input_.RaiseErrors(CE_BREAK);
            if (now.buf_overrun != Counters_.buf_overrun)
                Input_.RaiseErrors(CE_RXOVER);
            Counters_ = now;
        }
        return true;
    }

    int Fd_;
    bool IsPty_;
    std::function<int(int, int, bool)> SetModemLines_;
    std::optional<bool> DtrSet_; // as last set; unknown at the open
    std::unique_ptr<UucpLock> Lock_;
    CommTimeouts Timeouts_{};
    uint32_t EventMask_ = 0;
    LineSettings Remembered_{}; // the fields termios does not hold, as last set
    std::chrono::nanoseconds CharacterTime_{};
    Clock::time_point TxFreeAt_{};
    ReceiveQueue Input_;
    ParmrkParser Parser_;
    bool HasCounters_ = false;
    bool Lost_ = false;
    serial_icounter_struct Counters_{};
};

} // namespace

bool IsPseudoTerminalDevice(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned int deviceMajor = major(st.st_rdev);
    // Unix98 pty slaves (136 to 143) and the old BSD ones (3).
    return (deviceMajor >= 136 && deviceMajor <= 143) || deviceMajor == 3;
}

int SetModemLinesIoctl(int fd, int lines, bool raised) {
    int bits = lines;
    return ioctl(fd, raised ? TIOCMBIS : TIOCMBIC, &bits) == 0 ? 0 : errno;
}

PosixSerialApi::PosixSerialApi()
    : PosixSerialApi(LinuxPortSources{.IniPath = ExecutableIniPath()}) {}

PosixSerialApi::PosixSerialApi(LinuxPortSources sources, PosixSerialOptions options)
    : Sources_(std::move(sources)), Options_(std::move(options)) {}

std::string PosixSerialApi::PortDeviceName(int number) {
    return LinuxPortDeviceName(number, Sources_);
}

std::unique_ptr<SerialPort> PosixSerialApi::Open(const std::string& deviceName, OpenError& error) {
    error = {};
    const int fd = open(deviceName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const auto fail = [&](int code) -> std::unique_ptr<SerialPort> {
        switch (code) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            error = {.Kind = OpenFailure::NotFound, .Code = code};
            break;
        case EBUSY:
        case EWOULDBLOCK:
            error = {.Kind = OpenFailure::AccessDenied, .Code = code};
            break;
        default:
            error = {.Kind = OpenFailure::Other, .Code = code};
            break;
        }
        if (fd >= 0)
            close(fd);
        return nullptr;
    };
    if (fd < 0)
        return fail(errno);
    // flock keeps out every other program that locks, root included; TIOCEXCL keeps out the
    // ones that do not (but not root). O_NONBLOCK stays set: reads only take what is waiting
    // and writes wait for room themselves.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail(errno);
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return fail(errno); // ENOTTY: not a serial device
    // The lock file keeps out the programs that honour only that; a folder we may not write
    // leaves it out.
    std::unique_ptr<UucpLock> lock;
    if (UucpLock::Take(Options_.LockDir, deviceName, lock) == UucpLock::Outcome::Held)
        return fail(EBUSY);
    if (ioctl(fd, TIOCEXCL) != 0 && !NoSuchIoctl(errno))
        return fail(errno);
    return std::make_unique<PosixSerialPort>(fd, Options_, std::move(lock));
}

uint32_t PosixSerialApi::TickCount() {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
            .count());
}

void PosixSerialApi::Sleep(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds{milliseconds});
}

std::unique_ptr<SerialApi> CreateSystemSerialApi() {
    return std::make_unique<PosixSerialApi>();
}

} // namespace vr410
