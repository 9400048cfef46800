// Waiting until every byte written to a Linux serial port has left the wire. tcdrain would do
// it, but the UART drivers check the transmitter once per scheduler tick, so it returns 4 to
// 8 ms after the last stop bit; on an RS485 converter switched by RTS the instrument's answer,
// which starts about 1 ms after our last byte, then collides with our still enabled driver.
// Instead the wait asks the tty how many bytes it still holds (TIOCOUTQ) and the UART whether
// its shift register is empty (the TEMT bit of TIOCSERGETLSR), sleeping a fraction of a
// character time between the checks. tcdrain and the line time computed from the bytes written
// remain only for devices that lack those calls.
#pragma once

#include <chrono>
#include <cstdint>

namespace vr410 {

enum class ProbeResult : uint8_t {
    Answered,
    Missing, // the device has no such call (ENOTTY, EINVAL): ptys, most USB adapters
    Failed,  // the call failed otherwise; the device may be gone
};

// What the wait asks of the device and of time. The serial backend implements it over the file
// descriptor; tests implement it with a modelled transmitter and a manual clock.
class TransmitterProbe {
  public:
    using Clock = std::chrono::steady_clock;
    virtual ~TransmitterProbe() = default;
    // Bytes the driver holds that have not reached the transmitter yet (TIOCOUTQ).
    virtual ProbeResult OutputQueueBytes(int& bytes) = 0;
    // Whether the transmitter, its shift register included, is empty (TEMT).
    virtual ProbeResult TransmitterEmpty(bool& empty) = 0;
    // tcdrain: returns once the driver has handed everything on. False when it failed.
    virtual bool Drain() = 0;
    virtual Clock::time_point Now() = 0;
    virtual void SleepFor(std::chrono::nanoseconds duration) = 0;
};

// Waits until the last byte written has left. `lineFreeAt` is the moment the bytes written
// leave at the line's rate (the bound used where the UART cannot be asked); `characterTime` is
// one character's time on the line. Returns false when a call of the probe fails, or when the
// transmitter has not emptied one second after `lineFreeAt` (flow control holding it, a stuck
// driver).
bool WaitTransmitterEmpty(TransmitterProbe& probe, TransmitterProbe::Clock::time_point lineFreeAt,
                          std::chrono::nanoseconds characterTime);

} // namespace vr410
